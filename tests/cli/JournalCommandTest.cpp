// scalectl journal and its questions against a journal written with known times.

#include "support/DatedJournal.h"
#include "support/ScalectlProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;

class JournalCommand : public ::testing::Test {
protected:
    // Deli gets PLU 1 at 150 and a refused PLU 2 at 250 on May 1, the meat counter PLU 2 at
    // 240 on May 2, and a compare on May 3 finds PLU 2 at 260 on Deli.
    void SetUp() override {
        using sample::pluRow;
        journal::RowEntry refused = pluRow(2, 250, false);
        refused.retries = 3;
        const auto at = [](int day, int hour) {
            return QDateTime(QDate(2024, 5, day), QTime(hour, 0), Qt::UTC);
        };
        ASSERT_EQ(sample::writeDatedJournal(
                      path,
                      {{at(1, 9),
                        sample::pluRun("download", "Deli"),
                        {pluRow(1, 150), refused},
                        "gave up"},
                       {at(2, 10), sample::pluRun("download", "Meat counter"), {pluRow(2, 240)}},
                       {at(3, 8), sample::pluRun("compare", "Deli"), {pluRow(2, 260)}}},
                      journal::WriterIdentity{"anna", "till-3", "ScaleDesk", "1.0"}),
                  QString());
    }

    Outcome ask(const QStringList& args) const {
        return scalectl(QStringList{"journal"} + args + QStringList{"--journal", path});
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("journal.sqlite"));
};

const QString kDeli1 = QStringLiteral(
    "2024-05-01T09:00:02.000Z Deli PLU 1 accepted: ItemCode 1001, ItemName1 \"Item 1\", "
    "ItemName2 \" \", UnitPrice 150, ValidDate 0, Tare 0, GCode 0, MessageNo 0 (run 1 by anna "
    "on till-3: gave up)\n");
const QString kDeli2 = QStringLiteral(
    "2024-05-01T09:00:03.000Z Deli PLU 2 not accepted, 3 retries: ItemCode 1002, ItemName1 "
    "\"Item 2\", ItemName2 \" \", UnitPrice 250, ValidDate 0, Tare 0, GCode 0, MessageNo 0 (run "
    "1 by anna on till-3: gave up)\n");
const QString kMeat2 = QStringLiteral(
    "2024-05-02T10:00:02.000Z Meat counter PLU 2 accepted: ItemCode 1002, ItemName1 \"Item 2\", "
    "ItemName2 \" \", UnitPrice 240, ValidDate 0, Tare 0, GCode 0, MessageNo 0 (run 5 by anna on "
    "till-3: done)\n");

} // namespace

TEST_F(JournalCommand, AnswersEachQuestion) {
    const struct {
        QStringList args;
        int exitCode;
        QString out;
    } cases[] = {
        {{}, 0, kDeli1 + kDeli2 + kMeat2},
        {{"--scale", "Deli"}, 0, kDeli1 + kDeli2},
        {{"--plu", "2", "--since", "2024-05-02"}, 0, kMeat2},
        {{"--until", "2024-05-01T09:00:02Z"}, 0, kDeli1},
        {{"--scale", "Bakery"}, 0, ""},
        {{"holds", "--scale", "Deli"},
         0,
         "1,1001,\"Item 1\",\" \",150,0,0,0,0\r\n2,1002,\"Item 2\",\" \",260,0,0,0,0\r\n"},
        {{"lowest", "--plu", "2", "--until", "2024-05-31"},
         0,
         "PLU 2, 2024-05-01T23:59:59.999Z to 2024-05-31T23:59:59.999Z: lowest unit price 240, "
         "sent to Meat counter at 2024-05-02T10:00:02.000Z\n"},
        {{"lowest", "--plu", "1", "--scale", "Deli", "--days", "1", "--until", "2024-05-20"},
         0,
         "PLU 1, 2024-05-19T23:59:59.999Z to 2024-05-20T23:59:59.999Z: lowest unit price 150, "
         "sent to Deli at 2024-05-01T09:00:02.000Z and held when the period began\n"},
        {{"verify"}, 0, "journal " + path + ": 10 entries, every one as it was written\n"},
        // Nothing known, and what cannot be asked.
        {{"holds", "--scale", "Bakery"}, 1, ""},
        {{"lowest", "--plu", "1", "--scale", "Meat counter", "--until", "2024-05-31"}, 1, ""},
        {{"--plu", "0"}, 2, ""},
        {{"--format", "xml"}, 2, ""},
        {{"--since", "1.5.2024"}, 2, ""},
        {{"holds"}, 2, ""},
        {{"holds", "--scale", "Deli", "out.txt"}, 2, ""},
        {{"holds", "--scale", "Deli", "--table", "ingred", "out.plu"}, 2, ""},
        {{"lowest", "--plu", "1", "--days", "0"}, 2, ""},
        {{"weigh"}, 2, ""},
    };
    for (const auto& c : cases) {
        const Outcome run = ask(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n"
                                            << run.err.toStdString();
        EXPECT_EQ(run.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.err.isEmpty(), c.exitCode == 0) << c.args.join(' ').toStdString();
    }
    const Outcome missing = scalectl({"journal", "verify", "--journal", path + ".none"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.err,
              "journal " + path + ".none: no such file (nothing has been recorded there yet)\n");
}

TEST_F(JournalCommand, WritesCsvJsonAndTheHeldTableAsFiles) {
    QProcess process; // the bytes as they are: a text would lose the byte order mark
    process.start(SCALECTL_PATH, {"journal", "--format", "csv", "--journal", path});
    ASSERT_TRUE(process.waitForFinished());
    const QByteArray bytes = process.readAllStandardOutput();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\"Time (UTC)\",\"Scale\",\"Port\","));
    const QStringList csv = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(csv.size(), 5); // the header, three rows, nothing after the last line end
    EXPECT_EQ(csv[2], QStringLiteral(
                          "\"2024-05-01T09:00:03.000Z\",\"Deli\",\"tcp://127.0.0.1:4001\",\"PLU\","
                          "2,\"not accepted\",3,2,1002,\"Item 2\",\" \",250,0,0,0,0,,,,,1,\"all\","
                          "\"/srv/shop/prices.plu\",\"") +
                          QString(64, u'a') +
                          QStringLiteral("\",\"gave up\",,\"anna\",\"till-3\",\"ScaleDesk 1.0\""));

    const QJsonArray json = QJsonDocument::fromJson(ask({"--format", "json"}).out.toUtf8()).array();
    ASSERT_EQ(json.size(), 3);
    const QJsonObject refused = json[1].toObject();
    EXPECT_EQ(refused["accepted"], false);
    EXPECT_EQ(refused["retries"], 3);
    EXPECT_EQ(refused["fields"].toObject()["UnitPrice"], "250");
    EXPECT_EQ(refused["record"], QString::fromLatin1(sample::pluRow(2, 250).record.toHex()));
    EXPECT_EQ(refused["run"].toObject()["outcome"], "gave up");

    const QString out = dir.filePath(QStringLiteral("deli.plu"));
    const Outcome held = ask({"holds", "--scale", "Deli", out});
    EXPECT_EQ(held.exitCode, 0) << held.err.toStdString();
    EXPECT_EQ(held.out, QStringLiteral("PLU Count is 2\n"));
    EXPECT_EQ(scalectl_process::readFile(out), ask({"holds", "--scale", "Deli"}).out.toUtf8());

    ASSERT_EQ(scalectl_process::run("sqlite3", {path, "UPDATE rows SET retries = 0"}).exitCode, 0)
        << "the sqlite3 shell is needed (package sqlite3)";
    const Outcome changed = ask({"verify"});
    EXPECT_EQ(changed.exitCode, 1);
    EXPECT_EQ(changed.out, "journal " + path + ": entry 3 (row 2 of run 1) was changed\n");
}
