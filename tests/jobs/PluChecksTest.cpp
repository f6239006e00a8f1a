// Compare, verify after sending and back up before sending, against the in-process
// simulated scale on a manual clock.

#include "files/TableFileCommands.h"
#include "jobs/CheckedDownload.h"
#include "protocol/FaultSpec.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/Wire.h"
#include "support/TextPrinting.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

PluRecord plu(int no, int price, const char* name = "Bread") {
    return {qint16(no), 1000 + no, QString::fromLatin1(name), QStringLiteral("Rye"), price, 3, 0,
            1,          0};
}

enum class Action { Compare, Download };

struct Case {
    const char* name;
    QList<PluRecord> onScale; // before the action
    QList<PluRecord> table;
    Action action = Action::Compare;
    DownloadChecks checks;
    QString faults;                  // of the simulated scale
    bool changePriceOnScale = false; // the scale stores PLU 2 with another price once it has it
    QStringList differences;         // as described, in order
    bool succeeded = true;
    QList<int> pricesAfter; // of PLU 1, 2, ... on the scale afterwards
    bool backupWritten = false;
};

const QString kBackupDir = QStringLiteral("<backup>"); // the test's temporary folder

const Case kCases[] = {
    {"CompareFindsEachKindOfDifference",
     {plu(1, 100), plu(2, 250), plu(3, 300, "Rolls"), plu(4, 400)},
     {plu(1, 100), plu(2, 200), plu(3, 300), plu(6, 600)},
     Action::Compare,
     {},
     {},
     false,
     {"PLU 2: U/Price \"200\" in the table, \"250\" on the scale",
      "PLU 3: Item name1 \"           Bread            \" in the table, "
      "\"           Rolls            \" on the scale",
      "PLU 4: only on the scale", "PLU 6: only in the table"},
     false,
     {100, 250, 300, 400}},
    {"CompareOfTheSameTablesFindsNothing",
     {plu(1, 100), plu(2, 200)},
     {plu(1, 100), plu(2, 200)},
     Action::Compare,
     {},
     {},
     false,
     {},
     true,
     {100, 200}},
    {"VerifyPassesWhenTheScaleHoldsWhatWasSent",
     {},
     {plu(1, 110), plu(2, 220)},
     Action::Download,
     {true, {}, {}, {}},
     QStringLiteral("ack@2"),
     false,
     {},
     true,
     {110, 220}},
    {"VerifyCatchesAScaleThatStoresAnotherPrice",
     {},
     {plu(1, 110), plu(2, 220)},
     Action::Download,
     {true, {}, {}, {}},
     {},
     true,
     {"PLU 2: U/Price \"220\" in the table, \"221\" on the scale"},
     false,
     {110, 221}},
    {"ABackupIsMadeBeforeSending",
     {plu(1, 100), plu(2, 200)},
     {plu(1, 110), plu(2, 220)},
     Action::Download,
     {false, kBackupDir, QStringLiteral("Deli counter"), {}},
     {},
     false,
     {},
     true,
     {110, 220},
     true},
    {"ABackupThatCannotBeWrittenSendsNothing",
     {plu(1, 100), plu(2, 200)},
     {plu(1, 110), plu(2, 220)},
     Action::Download,
     {false, QStringLiteral("/no/such/folder"), QStringLiteral("Deli"), {}},
     {},
     false,
     {},
     false,
     {100, 200}},
    {"AScaleThatCannotBeReadForTheBackupGetsNothing",
     {plu(1, 100), plu(2, 200)},
     {plu(1, 110), plu(2, 220)},
     Action::Download,
     {false, kBackupDir, QStringLiteral("Deli"), {}},
     QStringLiteral("silence:5"),
     false,
     {},
     false,
     {100, 200}},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class PluChecksTest : public ::testing::TestWithParam<Case> {
protected:
    PluChecksTest() : link(scale, &clock), wire(link, clock) { async::waitFor(link.open()); }

    ManualClock clock;
    SimulatedScale scale;
    SimLink link;
    Wire wire;
    QTemporaryDir backups;
    QStringList statuses;
};

TEST_P(PluChecksTest, FindsWhatDiffersAndSendsOnlyWhenItMay) {
    const Case& c = GetParam();
    for (const PluRecord& record : c.onScale)
        ASSERT_EQ(scale.storePlu(record), QString());
    if (!c.faults.isEmpty())
        scale.addFaults(*parseFaults(c.faults));
    auto table = std::make_unique<PluTable>();
    for (const PluRecord& record : c.table)
        table->records[++table->count] = record;
    if (c.changePriceOnScale)
        clock.setOnWait([this, changed = false](qint64) mutable {
            if (const auto stored = scale.pluRecord(2); stored && !changed) {
                PluRecord other = plu_wire::decode(*stored).record;
                other.UnitPrice += 1;
                scale.storePlu(2, plu_wire::encode(other).bytes);
                changed = true;
            }
        });
    const auto status = [this](const QString& text) { statuses.append(text); };

    QStringList differences;
    bool succeeded = false;
    if (c.action == Action::Compare) {
        QList<int> numbers;
        for (const PluRecord& record : c.table)
            numbers.append(record.PluNo);
        const ScaleReadBack read = async::waitFor(readBackPlus(wire, true, numbers, status));
        ASSERT_TRUE(read.complete());
        for (const PluDifference& d : comparePlus(*table, read))
            differences.append(describe(d));
        succeeded = differences.isEmpty();
    } else {
        DownloadChecks checks = c.checks;
        if (checks.backupDir == kBackupDir)
            checks.backupDir = backups.path();
        checks.now = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5));
        const DownloadPlan plan = planDownload(*table, QStringLiteral("/shop.plu"), {});
        const CheckedDownload result =
            async::waitFor(runCheckedDownload(plan, wire, checks, status));
        for (const PluDifference& d : result.verify.mismatches)
            differences.append(describe(d));
        succeeded = result.ending.done();
        EXPECT_EQ(result.backupFailed, !checks.backupDir.isEmpty() && !c.backupWritten);
    }

    EXPECT_EQ(differences, c.differences) << statuses.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(succeeded, c.succeeded);
    for (int n = 1; n <= c.pricesAfter.size(); ++n)
        EXPECT_EQ(plu_wire::decode(*scale.pluRecord(quint16(n))).record.UnitPrice,
                  c.pricesAfter[n - 1])
            << "PLU " << n;
    const QString backup = backups.filePath(QStringLiteral("Deli_counter-20261208-093005.plu"));
    EXPECT_EQ(QFile::exists(backup), c.backupWritten);
    if (c.backupWritten) {
        PluTable saved;
        ASSERT_TRUE(openTable(saved, backup).ok);
        ASSERT_EQ(saved.count, c.onScale.size());
        EXPECT_EQ(saved.records[2].UnitPrice, c.onScale[1].UnitPrice);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PluChecksTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
