// The journal as the transfers use it: a run and its rows recorded and answered back, what
// it refuses to record, what a scale holds, and the files it refuses to open.

#include "SampleRows.h"
#include "journal/Journal.h"
#include "journal/JournalTime.h"
#include "support/ScalectlProcess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using journal::Journal;

class JournalStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QString error;
        journal = Journal::open(path, &error);
        ASSERT_TRUE(journal) << error.toStdString();
        journal->setClock([this] { return now; });
        journal->setWriter({"anna", "till-3", "scalectl", "9.9"});
    }

    qint64 run(const journal::RunStart& start, const QList<journal::RowEntry>& rows,
               const QString& outcome = QStringLiteral("done")) {
        qint64 id = 0;
        EXPECT_EQ(journal->beginRun(start, &id), QString());
        for (const journal::RowEntry& row : rows) {
            now = now.addSecs(1);
            EXPECT_EQ(journal->addRow(id, row), QString());
        }
        EXPECT_EQ(journal->endRun(id, outcome, QString()), QString());
        now = now.addSecs(60);
        return id;
    }

    QList<journal::RowRecord> sent(const journal::RowFilter& filter) const {
        QList<journal::RowRecord> rows;
        EXPECT_EQ(journal->sentRows(filter,
                                    [&rows](const journal::RowRecord& row) {
                                        rows.append(row);
                                        return true;
                                    }),
                  QString());
        return rows;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
    std::unique_ptr<Journal> journal;
};

QList<int> numbersOf(const QList<journal::RowRecord>& rows) {
    QList<int> numbers;
    for (const journal::RowRecord& row : rows)
        numbers.append(row.row.number);
    return numbers;
}

} // namespace

TEST_F(JournalStore, AnswersWhatWasSentAsItWasRecorded) {
    qint64 first = 0;
    ASSERT_EQ(journal->beginRun(sample::pluRun("download", "Deli"), &first), QString());
    journal::RowEntry refused = sample::pluRow(2, 200, false);
    refused.retries = 3;
    now = now.addSecs(2);
    ASSERT_EQ(journal->addRow(first, sample::pluRow(1, 100)), QString());
    now = now.addSecs(1);
    ASSERT_EQ(journal->addRow(first, refused), QString());
    now = now.addSecs(5);
    ASSERT_EQ(journal->endRun(first, "gave up", "plu#2 Retry #3"), QString());
    now = QDateTime(QDate(2024, 5, 3), QTime(9, 0), Qt::UTC);
    run(sample::pluRun("download", "Bakery"), {sample::pluRow(1, 110), sample::pluRow(3, 300)});
    run(sample::pluRun("compare", "Deli"), {sample::pluRow(1, 100)}); // a read, not a send
    journal::RunStart unnamed = sample::pluRun("download", QString());
    unnamed.port = QStringLiteral("COM2");
    run(unnamed, {sample::pluRow(1, 120)});

    const QList<journal::RowRecord> all = sent({});
    ASSERT_EQ(numbersOf(all), (QList<int>{1, 2, 1, 3, 1}));
    const journal::RowRecord& row = all[1];
    EXPECT_EQ(row.row.record, refused.record);
    EXPECT_EQ(row.row.fields, refused.fields);
    EXPECT_FALSE(row.row.accepted);
    EXPECT_EQ(row.row.retries, 3);
    EXPECT_EQ(journal::utcText(row.at), QStringLiteral("2024-05-01T09:00:03.000Z"));
    EXPECT_EQ(row.run.id, first);
    EXPECT_EQ(journal::utcText(row.run.started), QStringLiteral("2024-05-01T09:00:00.000Z"));
    EXPECT_EQ(journal::utcText(row.run.ended), QStringLiteral("2024-05-01T09:00:08.000Z"));
    EXPECT_EQ(row.run.outcome, QStringLiteral("gave up"));
    EXPECT_EQ(row.run.reason, QStringLiteral("plu#2 Retry #3"));
    const journal::RunStart expected = sample::pluRun("download", "Deli");
    EXPECT_EQ(row.run.start.scaleName, expected.scaleName);
    EXPECT_EQ(row.run.start.port, expected.port);
    EXPECT_EQ(row.run.start.selection, expected.selection);
    EXPECT_EQ(row.run.start.sourcePath, expected.sourcePath);
    EXPECT_EQ(row.run.start.sourceSha256, expected.sourceSha256);
    EXPECT_EQ(row.run.writer.osUser, QStringLiteral("anna"));
    EXPECT_EQ(row.run.writer.host, QStringLiteral("till-3"));
    EXPECT_EQ(row.run.writer.program, QStringLiteral("scalectl"));
    EXPECT_EQ(row.run.writer.version, QStringLiteral("9.9"));
    EXPECT_EQ(all[4].run.start.scaleName, QStringLiteral("COM2")); // known by its port

    const QDateTime may2 = QDateTime(QDate(2024, 5, 2), QTime(0, 0), Qt::UTC);
    const QDateTime none;
    const struct {
        journal::RowFilter filter;
        QList<int> numbers;
    } cases[] = {
        {{"Deli", "", {}, none, none, false, 0, 0}, {1, 2}},
        {{"Bakery", "PLU", 3, none, none, false, 0, 0}, {3}},
        {{"", "PLU", 1, none, none, false, 0, 0}, {1, 1, 1}},
        {{"", "INGRED", {}, none, none, false, 0, 0}, {}},
        {{"", "", {}, may2, none, false, 0, 0}, {1, 3, 1}},
        {{"", "", {}, none, may2, false, 0, 0}, {1, 2}},
        {{"", "", {}, row.at, row.at, false, 0, 0}, {2}}, // both ends belong to the period
        {{"", "", {}, none, none, true, 2, 0}, {1, 3}},
        {{"", "", {}, none, none, false, 2, all[1].entry}, {1, 3}}, // the next page
    };
    for (const auto& c : cases)
        EXPECT_EQ(numbersOf(sent(c.filter)), c.numbers);
    QStringList scales;
    EXPECT_EQ(journal->scales(&scales), QString());
    EXPECT_EQ(scales, (QStringList{"Bakery", "COM2", "Deli"}));
}

TEST_F(JournalStore, RefusesWhatItCannotRecordAndWritesNothingThen) {
    qint64 open = 0;
    ASSERT_EQ(journal->beginRun(sample::pluRun("download", "Deli"), &open), QString());
    const qint64 ended = run(sample::pluRun("download", "Deli"), {});
    journal::RunStart badOperation = sample::pluRun("send", "Deli");
    journal::RunStart badKind = sample::pluRun("download", "Deli");
    badKind.kind = QStringLiteral("LABEL");
    journal::RunStart nameless = sample::pluRun("download", QString());
    nameless.port.clear();
    journal::RunStart badSum = sample::pluRun("download", "Deli");
    badSum.sourceSha256 = "ABC";
    journal::RowEntry ingredFields = sample::pluRow(1, 100);
    ingredFields.fields = journal::fieldsOf(IngredRecord{});
    journal::RowEntry badPrice = sample::pluRow(1, 100);
    badPrice.fields[4].second = QStringLiteral("1,50");
    journal::RowEntry noFields = sample::pluRow(1, 100);
    noFields.fields.clear();

    const QString prefix = QStringLiteral("journal ") + path + QStringLiteral(": ");
    qint64 id = 0;
    const struct {
        std::function<QString()> call;
        QString error;
    } cases[] = {
        {[&] { return journal->beginRun(badOperation, &id); },
         "\"send\" is not an operation the journal records (download, upload, compare, "
         "verify, display)"},
        {[&] { return journal->beginRun(badKind, &id); }, "\"LABEL\" is not a table kind"},
        {[&] { return journal->beginRun(nameless, &id); },
         "a run needs the scale's name or its port"},
        {[&] { return journal->beginRun(badSum, &id); },
         "the source's SHA-256 must be 64 lowercase hex digits"},
        {[&] { return journal->addRow(open + 100, sample::pluRow(1, 100)); },
         QStringLiteral("there is no run %1").arg(open + 100)},
        {[&] { return journal->addRow(ended, sample::pluRow(1, 100)); },
         QStringLiteral("run %1 has ended").arg(ended)},
        {[&] { return journal->endRun(ended, "done", QString()); },
         QStringLiteral("run %1 has ended").arg(ended)},
        {[&] { return journal->addRow(open, sample::pluRow(0, 100)); },
         "PLU number 0 is not a row number"},
        {[&] { return journal->addRow(open, ingredFields); },
         "PLU 1: a PLU record has the fields PluNo,ItemCode,ItemName1,ItemName2,UnitPrice,"
         "ValidDate,Tare,GCode,MessageNo, not MessageNo,Message1,Message2,Message3,Message4"},
        {[&] { return journal->addRow(open, badPrice); },
         "PLU 1: UnitPrice \"1,50\" is not a number"},
        {[&] { return journal->addRow(open, noFields); }, "PLU 1: a record needs its fields"},
        {[&] { return journal->endRun(open, "finished", QString()); },
         "\"finished\" is not an outcome of a run (done, cancelled, gave up, port lost, "
         "refused, could not open, checks failed)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.call(), prefix + c.error);

    journal::VerifyReport report;
    ASSERT_EQ(journal->verify(&report), QString());
    EXPECT_TRUE(report.intact) << report.text.toStdString();
    EXPECT_EQ(report.entries, 3); // two run starts and one end
    EXPECT_EQ(journal->addRow(open, sample::unansweredRow(7)), QString()); // still open

    // A run changed behind the program's back is refused, not trusted.
    scalectl_process::run("sqlite3", {path, "UPDATE runs SET kind = 'LABEL'"});
    EXPECT_EQ(journal->addRow(open, sample::pluRow(1, 100)),
              prefix + QStringLiteral("run %1 is of the table \"LABEL\", which this program "
                                      "does not know")
                           .arg(open));
}

// The latest row per number counts: an accepted send or a read says what the scale holds; a
// send it did not accept, or a read that did not come, leaves the number unknown.
TEST_F(JournalStore, HoldsWhatEachScaleLastAcceptedOrShowed) {
    using sample::pluRow;
    run(sample::pluRun("download", "Deli"),
        {pluRow(1, 100), pluRow(2, 200), pluRow(3, 300), pluRow(4, 400, false), pluRow(6, 600)});
    run(sample::pluRun("download", "Bakery"), {pluRow(1, 999)});
    run(sample::pluRun("download", "Deli"), {pluRow(2, 250)});
    run(sample::pluRun("compare", "Deli"),
        {pluRow(3, 333), sample::absentRow(6), sample::unansweredRow(1)});
    run(sample::pluRun("upload", "Deli"), {pluRow(7, 700)}, "cancelled");

    const struct {
        QString scale;
        QString kind;
        QMap<int, std::pair<qint32, QString>> held; // number -> price, operation
    } cases[] = {
        {"Deli", "PLU", {{2, {250, "download"}}, {3, {333, "compare"}}, {7, {700, "upload"}}}},
        {"Bakery", "PLU", {{1, {999, "download"}}}},
        {"Deli", "INGRED", {}},
        {"Nobody", "PLU", {}},
    };
    for (const auto& c : cases) {
        QMap<int, journal::HeldRecord> held;
        ASSERT_EQ(journal->holds(c.scale, c.kind, &held), QString());
        EXPECT_EQ(held.keys(), c.held.keys()) << c.scale.toStdString();
        for (auto it = c.held.begin(); it != c.held.end(); ++it) {
            const journal::HeldRecord& record = held.value(it.key());
            EXPECT_EQ(record.record, pluRow(it.key(), it->first).record);
            EXPECT_EQ(record.fields, pluRow(it.key(), it->first).fields);
            EXPECT_EQ(record.operation, it->second);
        }
    }
}

TEST_F(JournalStore, LowestPriceCountsWhatEachScaleAcceptedAndHeldWhenThePeriodBegan) {
    const auto at = [](int month, int day) {
        return QDateTime(QDate(2024, month, day), QTime(12, 0), Qt::UTC);
    };
    const struct {
        QDateTime at;
        QString operation;
        QString scale;
        journal::RowEntry row;
    } history[] = {
        {at(3, 1), "download", "Deli", sample::pluRow(5, 500)},
        {at(4, 10), "download", "Deli", sample::pluRow(5, 450, false)}, // not accepted
        {at(4, 12), "download", "Bakery", sample::pluRow(5, 470)},
        {at(4, 15), "download", "Deli", sample::pluRow(5, 480)},
        {at(4, 20), "download", "Deli", sample::pluRow(5, 520)},
        {at(4, 25), "compare", "Bakery", sample::pluRow(5, 100)}, // read, not sent
        {at(4, 26), "download", "Deli", sample::pluRow(6, 100)},
        {at(5, 1), "download", "Deli", sample::pluRow(5, 399)},
    };
    for (const auto& h : history) {
        now = h.at;
        run(sample::pluRun(h.operation, h.scale), {h.row});
    }
    const QDateTime aprilEnd(QDate(2024, 4, 30), QTime(23, 59, 59), Qt::UTC);
    const struct {
        QString scale;
        QDateTime from;
        QDateTime to;
        qint32 price; // 0: none
        QDateTime sent;
        bool fromBefore;
    } cases[] = {
        {"Deli", at(4, 1), aprilEnd, 480, at(4, 15), false},
        {"Bakery", at(4, 1), aprilEnd, 470, at(4, 12), false},
        {"", at(4, 1), aprilEnd, 470, at(4, 12), false},
        {"Deli", at(4, 16), aprilEnd, 480, at(4, 15), true}, // held since before
        {"Deli", at(3, 2), at(3, 31), 500, at(3, 1), true},
        {"Deli", at(2, 1), at(2, 28), 0, {}, false},
        {"Nobody", at(4, 1), aprilEnd, 0, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale.toStdString() + " from " + c.from.toString().toStdString());
        std::optional<journal::LowestPrice> lowest;
        ASSERT_EQ(journal->lowestUnitPrice(5, c.scale, c.from, c.to, &lowest), QString());
        ASSERT_EQ(lowest.has_value(), c.price != 0);
        if (!lowest)
            continue;
        EXPECT_EQ(lowest->unitPrice, c.price);
        EXPECT_EQ(lowest->at, c.sent.addSecs(1)); // run() records each row a second later
        EXPECT_EQ(lowest->fromBefore, c.fromBefore);
    }
}

// A file that is not a journal this program can use is refused with the reason and left
// exactly as it was.
TEST(JournalFiles, WhatIsNoUsableJournalIsRefusedAndLeftAlone) {
    QTemporaryDir dir;
    const auto file = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    using scalectl_process::writeFile;
    ASSERT_TRUE(writeFile(file("prices.plu"), "1,11,\"Pear\",\" \",150,0,0,0,0\r\n"));
    ASSERT_TRUE(writeFile(file("big.plu"), QByteArray(8192, 'x')));
    QString error;
    {
        std::unique_ptr<Journal> journal = Journal::open(file("newer.sqlite"), &error);
        ASSERT_TRUE(journal) << error.toStdString();
    }
    ASSERT_EQ(scalectl_process::run("sqlite3", {file("newer.sqlite"), "PRAGMA user_version = 99"})
                  .exitCode,
              0)
        << "the sqlite3 shell is needed (package sqlite3)";
    ASSERT_EQ(scalectl_process::run("sqlite3", {file("other.db"), "CREATE TABLE t (x)"}).exitCode,
              0);

    const struct {
        QString path;
        Journal::Access access;
        QString reason;
    } cases[] = {
        {file("prices.plu"), Journal::Access::ReadWrite, "file is not a database"},
        {file("big.plu"), Journal::Access::ReadOnly, "file is not a database"},
        {file("other.db"), Journal::Access::ReadWrite,
         "it is not a ScaleDesk journal but another program's database"},
        {file("newer.sqlite"), Journal::Access::ReadWrite,
         "it was written by a newer ScaleDesk (journal version 99; this one reads up to "
         "version 2): update ScaleDesk to use it"},
        {dir.path(), Journal::Access::ReadWrite, "it is not a file"},
        {file("no/journal.sqlite"), Journal::Access::ReadWrite,
         "the folder " + file("no") + " does not exist"},
        {file("none.sqlite"), Journal::Access::ReadOnly,
         "no such file (nothing has been recorded there yet)"},
    };
    for (const auto& c : cases) {
        const QByteArray before = scalectl_process::readFile(c.path);
        EXPECT_FALSE(Journal::open(c.path, &error, c.access));
        EXPECT_EQ(error, "journal " + c.path + ": " + c.reason);
        EXPECT_EQ(scalectl_process::readFile(c.path), before) << c.path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(file("none.sqlite")));
}

TEST(JournalTimes, AreReadAsTheOperatorGivesThem) {
    const struct {
        const char* text;
        journal::PeriodEnd end;
        const char* utc; // empty: refused
    } cases[] = {
        {"2024-05-01", journal::PeriodEnd::Start, "2024-05-01T00:00:00.000Z"},
        {"2024-05-01", journal::PeriodEnd::End, "2024-05-01T23:59:59.999Z"},
        {"2024-05-01T09:30", journal::PeriodEnd::End, "2024-05-01T09:30:00.000Z"},
        {"2024-05-01T09:30:15Z", journal::PeriodEnd::Start, "2024-05-01T09:30:15.000Z"},
        {"2024-05-01T09:30:15.25", journal::PeriodEnd::Start, "2024-05-01T09:30:15.250Z"},
        {"2024-05-01T01:30:00+02:00", journal::PeriodEnd::Start, "2024-04-30T23:30:00.000Z"},
        {"2024-02-30", journal::PeriodEnd::Start, ""},
        {"2024-05-01T25:00", journal::PeriodEnd::Start, ""},
        {"1.5.2024", journal::PeriodEnd::Start, ""},
        {"yesterday", journal::PeriodEnd::Start, ""},
    };
    for (const auto& c : cases) {
        QString error;
        const QDateTime time = journal::parseOperatorTime(c.text, c.end, &error);
        EXPECT_EQ(time.isValid() ? journal::utcText(time) : QString(), c.utc) << c.text;
        EXPECT_EQ(error.isEmpty(), time.isValid()) << c.text;
    }
}

// A journal of the first version, which had no unit price column, answers every question once
// it is opened, and its chain stays intact.
TEST(JournalFiles, AnOlderJournalIsBroughtUpToDateWhenOpened) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    QString error;
    {
        std::unique_ptr<Journal> journal = Journal::open(path, &error);
        ASSERT_TRUE(journal) << error.toStdString();
        qint64 run = 0;
        ASSERT_EQ(journal->beginRun(sample::pluRun("download", "Deli"), &run), QString());
        ASSERT_EQ(journal->addRow(run, sample::pluRow(5, 480)), QString());
    }
    const auto shell = [&path](const QString& sql) {
        return scalectl_process::run("sqlite3", {path, sql}).out.trimmed();
    };
    shell("DROP INDEX rows_by_plu; ALTER TABLE rows DROP COLUMN unit_price; "
          "PRAGMA user_version = 1");
    ASSERT_EQ(shell("PRAGMA user_version"), QStringLiteral("1"));

    std::unique_ptr<Journal> journal = Journal::open(path, &error, Journal::Access::ReadOnly);
    ASSERT_TRUE(journal) << error.toStdString();
    EXPECT_EQ(shell("PRAGMA user_version"), QStringLiteral("2"));
    std::optional<journal::LowestPrice> lowest;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_EQ(journal->lowestUnitPrice(5, "Deli", now.addDays(-1), now, &lowest), QString());
    EXPECT_EQ(lowest ? lowest->unitPrice : 0, 480);
    journal::VerifyReport report;
    ASSERT_EQ(journal->verify(&report), QString());
    EXPECT_TRUE(report.intact) << report.text.toStdString();
}
