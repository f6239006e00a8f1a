// The PLU upload against the simulated scale, on a manual clock: what the PC sends, what the
// table holds afterwards, the status texts, and when the port is reopened and paused.

#include "protocol/UploadEngine.h"
#include "RecordingLink.h"
#include "protocol/FaultSpec.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"
#include "serial/Wire.h"
#include "support/TextPrinting.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

// The recording link, able to alter a reply as the PC takes it.
class AlteringLink : public RecordingLink {
public:
    using RecordingLink::RecordingLink;

    QByteArray takeAll() override {
        const QByteArray bytes = RecordingLink::takeAll();
        return alterTaken ? alterTaken(bytes) : bytes;
    }

    std::function<QByteArray(const QByteArray&)> alterTaken;
};

QByteArray request(int n) {
    return QByteArray("\xA5\x05", 2) + char(n >> 8) + char(n & 0xFF);
}

QByteArray requests(std::initializer_list<int> numbers) {
    QByteArray all;
    for (int n : numbers)
        all += request(n);
    return all;
}

PluRecord sample(int n) {
    return {qint16(n),
            1000 + n,
            QStringLiteral("Item %1").arg(n),
            QStringLiteral("Line two"),
            100 * n,
            qint16(n % 30),
            qint16(n % 7),
            qint16(n % 5),
            qint16(n % 11)};
}

// The record as it comes back: names centred in 28 characters.
PluRecord asUploaded(PluRecord record) {
    record.ItemName1 = plu_wire::nameField(record.ItemName1);
    record.ItemName2 = plu_wire::nameField(record.ItemName2);
    return record;
}

struct UploadFixture : ::testing::Test {
    SimulatedScale scale;
    ManualClock clock;
    SimLink simLink{scale, &clock};
    AlteringLink link{simLink, clock};
    TransferAbort abort;
    Wire wire{link, clock, &abort};
    PluTable table;
    QStringList statuses;
    QList<std::pair<int, int>> progress;
    int replacements = 0;

    void SetUp() override {
        table.reset();
        ASSERT_TRUE(async::waitFor(simLink.open()));
    }

    void hold(std::initializer_list<int> numbers) {
        for (int n : numbers)
            ASSERT_TRUE(scale.storePlu(sample(n)).isEmpty());
    }
    void withFaults(const char* text) { scale.addFaults(*parseFaults(QString::fromLatin1(text))); }

    UploadResult upload(bool onePlu, const QString& number = QString()) {
        ExchangeEvents events;
        events.status = [this](const QString& text) { statuses.append(text); };
        events.progress = [this](int asked, int total) { progress.append({asked, total}); };
        UploadEngine engine(wire, table, events, [this] { ++replacements; });
        return async::waitFor(engine.run({onePlu, number}));
    }
    UploadResult uploadAll() { return upload(false); }
    UploadResult uploadOne(const QString& number) { return upload(true, number); }

    // A table as the operator might have it before the upload: three rows and a count.
    void fillTableWithOwnWork() {
        for (int n = 1; n <= 3; ++n) {
            table.records[n] = sample(40 + n);
            table.grid.setText(n, 1, QString::number(40 + n));
            table.grid.setText(n, 3, QStringLiteral("unsaved"));
        }
        table.count = 3;
    }

    // The link's events as texts: "open", "close", "tx" and the bytes in hex.
    static QString textOf(const RecordingLink::Event& event) {
        switch (event.kind) {
        case RecordingLink::Event::Open:
            return QStringLiteral("open");
        case RecordingLink::Event::Close:
            return QStringLiteral("close");
        case RecordingLink::Event::Write:
            break;
        }
        return QStringLiteral("tx ") + QString::fromLatin1(event.bytes.toHex(' '));
    }
    QStringList eventTexts() const {
        QStringList texts;
        for (const auto& event : link.events)
            texts.append(textOf(event));
        return texts;
    }
    // Times of the events whose text starts with `what`.
    QList<qint64> timesOf(const QString& what) const {
        QList<qint64> times;
        for (const auto& event : link.events)
            if (textOf(event).startsWith(what))
                times.append(event.atMs);
        return times;
    }
};

QStringList gridRow(const PluTable& table, int row) {
    QStringList cells;
    for (int c = 0; c < table.grid.cols(); ++c)
        cells.append(table.grid.text(row, c));
    return cells;
}

QStringList listedRow(int no, const PluRecord& r) {
    return {QString::number(no),
            QString::number(r.PluNo),
            QString::number(r.ItemCode),
            r.ItemName1,
            r.ItemName2,
            QString::number(r.UnitPrice),
            QString::number(r.ValidDate),
            QString::number(r.Tare),
            QString::number(r.GCode),
            QString::number(r.MessageNo)};
}

QStringList emptyRow(int no) {
    QStringList cells(10);
    cells[0] = QString::number(no);
    return cells;
}

} // namespace

using UploadEngineTest = UploadFixture;

TEST_F(UploadEngineTest, AllPluStopsAtTheFirstNumberTheScaleDoesNotHold) {
    hold({1, 2, 3, 5});
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_TRUE(result.endedAtMissing);
    EXPECT_TRUE(result.succeeded());
    EXPECT_TRUE(result.tableReplaced);
    EXPECT_EQ(link.written, requests({1, 2, 3, 4})); // 5 is never asked for
    EXPECT_EQ(statuses, (QStringList{"plu#1 is received", "plu#2 is received", "plu#3 is received",
                                     "PLU is not exist"}));
    EXPECT_EQ(table.count, 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(table.records[n], asUploaded(sample(n))) << n;
        EXPECT_EQ(gridRow(table, n), listedRow(n, asUploaded(sample(n)))) << n;
    }
    EXPECT_EQ(table.records[4], PluRecord{});
    EXPECT_EQ(table.records[5], PluRecord{});
    EXPECT_EQ(gridRow(table, 4), emptyRow(4));
    // Reopened after each record received, not after the number it does not hold.
    EXPECT_EQ(timesOf(QStringLiteral("close")).size(), 3);
    EXPECT_EQ(eventTexts().last(), QStringLiteral("tx 00 04"));
    EXPECT_EQ(clock.waitedMs(), 0);
    EXPECT_EQ(progress.last(), std::make_pair(4, 600));
}

TEST_F(UploadEngineTest, AllPluFromAScaleHoldingEveryNumberAsksSixHundredTimes) {
    for (int n = 1; n <= 600; ++n)
        ASSERT_TRUE(scale.storePlu(sample(n)).isEmpty());
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_EQ(scale.exchanges(), 600);
    EXPECT_EQ(table.count, 600);
    EXPECT_EQ(statuses.size(), 600);
    EXPECT_EQ(statuses.last(), QStringLiteral("plu#600 is received"));
    EXPECT_EQ(table.records[600], asUploaded(sample(600)));
    EXPECT_EQ(gridRow(table, 600), listedRow(600, asUploaded(sample(600))));
    EXPECT_EQ(gridRow(table, 257), listedRow(257, asUploaded(sample(257))));
    EXPECT_EQ(progress.size(), 600);
    EXPECT_EQ(progress.last(), std::make_pair(600, 600));
}

TEST_F(UploadEngineTest, OnePluIsStoredUnderItsNumberAndListedInRowOne) {
    hold({3, 7, 8});
    fillTableWithOwnWork();
    const UploadResult result = uploadOne(QStringLiteral(" 7 "));

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_EQ(link.written, request(7));
    EXPECT_EQ(statuses, QStringList{"plu#7 is received"});
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(table.records[7], asUploaded(sample(7)));
    EXPECT_EQ(table.records[1], PluRecord{}); // the operator's rows went with the reply
    EXPECT_EQ(gridRow(table, 1), listedRow(7, asUploaded(sample(7))));
    EXPECT_EQ(gridRow(table, 2), emptyRow(2));
    EXPECT_EQ(gridRow(table, 7), emptyRow(7));
    EXPECT_EQ(progress, (QList<std::pair<int, int>>{{1, 1}}));
}

TEST_F(UploadEngineTest, OnePluTheScaleDoesNotHoldLeavesTheTableEmpty) {
    hold({1});
    fillTableWithOwnWork();
    const UploadResult result = uploadOne(QStringLiteral("9"));

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_TRUE(result.endedAtMissing);
    EXPECT_TRUE(result.tableReplaced);
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(statuses, QStringList{"PLU is not exist"});
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.records[1], PluRecord{});
    EXPECT_EQ(gridRow(table, 1), emptyRow(1));
    EXPECT_TRUE(eventTexts().filter(QStringLiteral("close")).isEmpty());
}

TEST_F(UploadEngineTest, OnePluNumbersOutsideOneToSixHundredAreRefusedUnsent) {
    hold({1, 2, 600});
    fillTableWithOwnWork();
    const QVector<QStringList> gridBefore = table.grid.all();
    const auto recordsBefore = table.records;
    for (const char* text : {"0", "601", "-1", "0.5", "abc", "", "7x", "40000"}) {
        statuses.clear();
        const UploadResult result = uploadOne(QString::fromLatin1(text));
        EXPECT_EQ(result.ending.outcome, Outcome::Refused) << text;
        EXPECT_FALSE(result.succeeded()) << text;
        EXPECT_EQ(statuses, QStringList{"PLU No is not valid"}) << text;
    }
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_EQ(table.grid.all(), gridBefore);
    EXPECT_EQ(table.records, recordsBefore);
    EXPECT_EQ(table.count, 3);

    // Halves round to the even neighbour: 600.5 asks for 600, 1.5 for 2.
    EXPECT_EQ(uploadOne(QStringLiteral("600.5")).ending.outcome, Outcome::Done);
    EXPECT_EQ(uploadOne(QStringLiteral("1.5")).ending.outcome, Outcome::Done);
    EXPECT_EQ(link.written, requests({600, 2}));
}

TEST_F(UploadEngineTest, NamesKeepTheBlanksThatCentreThem) {
    PluRecord record = sample(1);
    record.ItemName1 = QStringLiteral("Ham");
    record.ItemName2 = QString();
    ASSERT_TRUE(scale.storePlu(record).isEmpty());
    uploadOne(QStringLiteral("1"));

    const QString ham =
        QString(12, QLatin1Char(' ')) + QStringLiteral("Ham") + QString(13, QLatin1Char(' '));
    EXPECT_EQ(table.records[1].ItemName1, ham);
    EXPECT_EQ(table.records[1].ItemName2, QString(28, QLatin1Char(' ')));
    EXPECT_EQ(table.grid.text(1, 3), ham);
    EXPECT_EQ(table.grid.text(1, 4), QString(28, QLatin1Char(' ')));
}

TEST_F(UploadEngineTest, RepliesOfSeventySixOrSeventyEightBytesTimeOut) {
    hold({1, 2});
    for (const char* fault : {"short@1", "long@1"}) {
        SCOPED_TRACE(fault);
        statuses.clear();
        link.events.clear();
        link.written.clear();
        withFaults(fault);
        const qint64 before = clock.nowMs();
        const UploadResult result = uploadOne(QStringLiteral("1"));

        EXPECT_EQ(result.ending.outcome, Outcome::Done);
        EXPECT_EQ(statuses, (QStringList{"Receive PLU time out", "Retry #1", "plu#1 is received"}));
        EXPECT_EQ(link.written, requests({1, 1}));
        // The reply wait is four seconds; the port is reopened at once, with no pause.
        EXPECT_EQ(clock.nowMs() - before, 4000);
        const QList<qint64> closes = timesOf(QStringLiteral("close"));
        ASSERT_EQ(closes.size(), 2); // after the time-out and after the record
        EXPECT_EQ(closes[0], before + 4000);
        EXPECT_EQ(timesOf(QStringLiteral("tx a5"))[1], before + 4000);
    }
}

TEST_F(UploadEngineTest, TheFifthCountedFailureAbortsAndTheRecordsBeforeAreListed) {
    hold({1, 2, 3, 4});
    withFaults("silence@3:5");
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::GaveUp);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(statuses, (QStringList{"plu#1 is received", "plu#2 is received",
                                     "Receive PLU time out", "Retry #1", "Receive PLU time out",
                                     "Retry #2", "Receive PLU time out", "Retry #3",
                                     "Receive PLU time out", "Retry #4", "Receive PLU time out"}));
    EXPECT_EQ(link.written, requests({1, 2, 3, 3, 3, 3, 3}));
    EXPECT_EQ(table.count, 2);
    EXPECT_EQ(gridRow(table, 1), listedRow(1, asUploaded(sample(1))));
    EXPECT_EQ(gridRow(table, 2), listedRow(2, asUploaded(sample(2))));
    EXPECT_EQ(gridRow(table, 3), emptyRow(3));
}

TEST_F(UploadEngineTest, FailuresAtDifferentStepsAddUpAndARecordResetsTheCount) {
    hold({1, 2});
    // Number 1: four failures of four kinds, then the record; number 2: four more.
    withFaults("sync:1,command#2,short#3,endbyte#4,silence@2:4");
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_TRUE(result.endedAtMissing);
    EXPECT_EQ(statuses.mid(0, 9), (QStringList{"Sync error", "Retry #1", "Upload command error",
                                               "Retry #2", "Receive PLU time out", "Retry #3",
                                               "SyncOK error", "Retry #4", "plu#1 is received"}));
    EXPECT_EQ(
        statuses.mid(9, 8),
        (QStringList{"Receive PLU time out", "Retry #1", "Receive PLU time out", "Retry #2",
                     "Receive PLU time out", "Retry #3", "Receive PLU time out", "Retry #4"}));
    EXPECT_EQ(statuses.mid(17), (QStringList{"plu#2 is received", "PLU is not exist"}));
    EXPECT_EQ(table.count, 2);
}

TEST_F(UploadEngineTest, AWrongEndByteIsACountedFailureRetriedWithoutReopening) {
    hold({1});
    withFaults("endbyte@1");
    const UploadResult result = uploadOne(QStringLiteral("1"));
    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_EQ(statuses, (QStringList{"SyncOK error", "Retry #1", "plu#1 is received"}));
    EXPECT_EQ(eventTexts(), (QStringList{"tx a5", "tx 05", "tx 00 01", "tx a5", "tx 05", "tx 00 01",
                                         "close", "open"}));
    EXPECT_EQ(clock.waitedMs(), 0);
}

TEST_F(UploadEngineTest, RepliesThatAreAllRefusedLeaveTheOperatorsTable) {
    hold({1, 2});
    fillTableWithOwnWork();
    const QVector<QStringList> gridBefore = table.grid.all();
    const auto recordsBefore = table.records;
    const struct {
        const char* failure;
        int offset; // of the byte spoilt in every reply
        char value;
    } cases[] = {
        {"SyncOK error", 76, '\x11'},         // the end byte
        {"PLU data is not valid", 2, '\x80'}, // PluNo above 32767
        {"PLU data is not valid", 4, '\x80'}, // ItemCode above 2147483647
    };
    for (const auto& c : cases) {
        for (const bool onePlu : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << c.failure << " at " << c.offset << " one " << onePlu);
            statuses.clear();
            link.alterTaken = [&c](QByteArray bytes) {
                if (bytes.size() == 77)
                    bytes[c.offset] = c.value;
                return bytes;
            };
            const UploadResult result = upload(onePlu, QStringLiteral("2"));

            EXPECT_EQ(result.ending.outcome, Outcome::GaveUp);
            EXPECT_EQ(statuses.count(QString::fromLatin1(c.failure)), 5);
            EXPECT_FALSE(result.tableReplaced);
            EXPECT_EQ(replacements, 0);
            EXPECT_EQ(table.grid.all(), gridBefore);
            EXPECT_EQ(table.records, recordsBefore);
            EXPECT_EQ(table.count, 3);
        }
    }
}

TEST_F(UploadEngineTest, RecoveryPausesAfterSyncAndCommandFailuresOnlyInTheirOrder) {
    hold({1});

    // Sync: a two-second pause, then the reopen, then the next sync at once.
    withFaults("sync");
    uploadOne(QStringLiteral("1"));
    EXPECT_EQ(eventTexts().mid(0, 4), (QStringList{"tx a5", "close", "open", "tx a5"}));
    EXPECT_EQ(timesOf(QStringLiteral("close"))[0], 2000);
    EXPECT_EQ(timesOf(QStringLiteral("tx a5"))[1], 2000);

    // Command: the reopen at once, then a five-second pause before the next sync.
    link.events.clear();
    const qint64 start = clock.nowMs();
    withFaults("command");
    uploadOne(QStringLiteral("1"));
    EXPECT_EQ(eventTexts().mid(0, 5), (QStringList{"tx a5", "tx 05", "close", "open", "tx a5"}));
    EXPECT_EQ(timesOf(QStringLiteral("close"))[0], start);
    EXPECT_EQ(timesOf(QStringLiteral("tx a5"))[1], start + 5000);
}

TEST_F(UploadEngineTest, ReplyFieldsBeyondTheTableRangesAreBadReplies) {
    hold({1, 2});
    int spoiled = 0;
    // The first reply for 1 carries ItemCode 0x80000000, the second PluNo 0x8000, the third
    // Tare 0xFFFF; the fourth comes through unchanged.
    link.alterTaken = [&](QByteArray bytes) {
        if (bytes.size() != 77 || bytes.mid(0, 2) != QByteArray("\x00\x01", 2) || spoiled >= 3)
            return bytes;
        switch (spoiled++) {
        case 0:
            bytes[4] = char(0x80);
            break;
        case 1:
            bytes[2] = char(0x80);
            break;
        default:
            bytes[70] = char(0xFF);
            bytes[71] = char(0xFF);
            break;
        }
        return bytes;
    };
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_TRUE(result.endedAtMissing);
    EXPECT_EQ(statuses.mid(0, 7),
              (QStringList{"PLU data is not valid", "Retry #1", "PLU data is not valid", "Retry #2",
                           "PLU data is not valid", "Retry #3", "plu#1 is received"}));
    EXPECT_EQ(table.records[1], asUploaded(sample(1)));
    EXPECT_EQ(table.count, 2);
}

TEST_F(UploadEngineTest, ALinkThatFailsEndsTheUploadAndListsWhatCame) {
    hold({1, 2, 3});
    fillTableWithOwnWork();
    clock.setOnWait([&](qint64) {
        if (link.written.endsWith(request(2)))
            simLink.breakLink(QStringLiteral("connection lost"));
    });
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::PortLost);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.ending.reason, QStringLiteral("connection lost"));
    EXPECT_EQ(statuses.last(), QStringLiteral("Transfer stopped on port sim: connection lost"));
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(gridRow(table, 1), listedRow(1, asUploaded(sample(1))));
    EXPECT_EQ(gridRow(table, 2), emptyRow(2));
    EXPECT_EQ(link.written, requests({1, 2}));
}

TEST_F(UploadEngineTest, APortClosedBeforeTheUploadChangesNothing) {
    simLink.close();
    const UploadResult result = uploadAll();
    EXPECT_EQ(result.ending.outcome, Outcome::PortLost);
    EXPECT_FALSE(result.tableReplaced);
    EXPECT_EQ(statuses, QStringList{"Transfer stopped on port sim: the port sim is not open"});
}

TEST_F(UploadEngineTest, APortThatCannotBeReopenedEndsTheUploadAfterTheRecord) {
    hold({1, 2});
    ExchangeEvents events;
    events.status = [this](const QString& text) {
        statuses.append(text);
        link.refuseOpen = true; // from the first text on
    };
    UploadEngine engine(wire, table, events);
    const UploadResult result = async::waitFor(engine.run({false, {}}));

    EXPECT_EQ(result.ending.outcome, Outcome::PortLost);
    EXPECT_EQ(statuses,
              (QStringList{"plu#1 is received", "Transfer stopped on port sim: device busy"}));
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(gridRow(table, 1), listedRow(1, asUploaded(sample(1))));
    EXPECT_EQ(link.written, request(1));
}

TEST_F(UploadEngineTest, CancelEndsTheUploadAtOnceAndListsWhatCame) {
    hold({1, 2, 3});
    withFaults("silence@2");
    clock.setOnWait([&](qint64) {
        if (link.written.endsWith(request(2)))
            abort.abort(QStringLiteral("Cancel"));
    });
    const UploadResult result = uploadAll();

    EXPECT_EQ(result.ending.outcome, Outcome::Cancelled);
    EXPECT_EQ(statuses, (QStringList{"plu#1 is received", "Transfer cancelled"}));
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(gridRow(table, 1), listedRow(1, asUploaded(sample(1))));
    EXPECT_EQ(link.written, requests({1, 2})); // nothing after the cancel
    EXPECT_LT(clock.waitedMs(), 4000);
}
