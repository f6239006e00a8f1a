// The window's sends in its journal: tab "Scales" to three in-process scales, one of which
// stops answering at PLU 3, then again with "Only changed rows" after a price change.

#include "app/ScalesTab.h"
#include "app/frmMain.h"
#include "jobs/ScaleJobs.h"
#include "journal/Journal.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace {

// Per scale, the numbers of the rows each run recorded as accepted, in order.
QMap<QString, QList<QList<int>>> acceptedRows(const QString& path) {
    QMap<QString, QList<QList<int>>> runs;
    QString error;
    const auto journal = journal::Journal::open(path, &error, journal::Journal::Access::ReadOnly);
    if (!journal) {
        ADD_FAILURE() << error.toStdString();
        return runs;
    }
    QMap<qint64, QList<int>> byRun;
    QMap<qint64, QString> scaleOf;
    EXPECT_EQ(journal->sentRows({},
                                [&](const journal::RowRecord& row) {
                                    scaleOf[row.run.id] = row.run.start.scaleName;
                                    if (row.row.accepted)
                                        byRun[row.run.id].append(row.row.number);
                                    return true;
                                }),
              QString());
    for (auto it = scaleOf.cbegin(); it != scaleOf.cend(); ++it)
        runs[it.value()].append(byRun.value(it.key()));
    return runs;
}

} // namespace

TEST(WindowJournal, ScalesTabRecordsEachScaleAndSendsOnlyChangedRows) {
    QSettings(QStringLiteral("ScaleDesk"), QStringLiteral("ScaleDesk"))
        .remove(QStringLiteral("Scales"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    ManualClock clock;
    std::array<SimulatedScale, 3> scales;
    const QStringList names{"Deli", "Bakery", "Cheese"};
    for (int i = 0; i < 3; ++i)
        registerLinkFactory(
            QStringLiteral("journal%1").arg(i), [&scales, &clock, i](const QString&) {
                return std::unique_ptr<Link>(std::make_unique<SimLink>(scales[i], &clock));
            });
    // The bakery's scale stops answering at PLU 3, for good.
    scales[1].addFaults(*parseFaults(QStringLiteral("silence@3:*")));

    frmMain window;
    window.setClock(clock);
    window.setJournalPath(path);
    auto* tab = window.findChild<ScalesTab*>();
    for (int i = 0; i < 3; ++i) {
        const ScaleEntry entry{names[i], QStringLiteral("journal%1").arg(i)};
        tab->setEntryFunction(
            [entry](const ScaleEntry&, const QList<ScaleEntry>&,
                    std::function<void(const ScaleEntry&)> done) { done(entry); });
        tab->findChild<QPushButton*>(QStringLiteral("cmdScaleAdd"))->click();
    }
    for (int i = 1; i <= 4; ++i)
        window.pluTable().records[i] = {qint16(i), i, "Item", {}, 10 * i, 1, 0, 0, 0};
    window.pluTable().count = 4;
    window.setSourcePath(dir.filePath(QStringLiteral("shop.plu")));
    window.findChild<QRadioButton*>(QStringLiteral("optDownAllPLU"))->setChecked(true);
    auto* send = tab->findChild<QPushButton*>(QStringLiteral("cmdSendPLU"));

    send->click();
    ASSERT_FALSE(tab->jobs()->running());
    scales[1].clearFaults();
    window.pluTable().records[2].UnitPrice = 25;
    tab->findChild<QCheckBox*>(QStringLiteral("chkScalesChangedOnly"))->setChecked(true);
    send->click();
    ASSERT_FALSE(tab->jobs()->running());

    const QMap<QString, QList<QList<int>>> expected{
        {"Deli", {{1, 2, 3, 4}, {2}}},
        {"Bakery", {{1, 2}, {2, 3, 4}}}, // PLU 3 was never accepted, PLU 4 never sent
        {"Cheese", {{1, 2, 3, 4}, {2}}},
    };
    EXPECT_EQ(acceptedRows(path), expected);
}
