// Both downloads against the in-process simulated scale, on a manual clock.

#include "RecordingLink.h"
#include "support/ByteList.h"
#include "support/TextPrinting.h"

#include "protocol/DownloadEngine.h"
#include "protocol/FaultSpec.h"
#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"
#include "serial/Wire.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

DownloadSelection one(const char* no) {
    return {DownloadChoice::One, QString::fromLatin1(no), {}, {}};
}
DownloadSelection range(const char* first, const char* last) {
    return {DownloadChoice::Multiple, {}, QString::fromLatin1(first), QString::fromLatin1(last)};
}
DownloadSelection all() {
    return {DownloadChoice::All, {}, {}, {}};
}

// Row i holds PLU number 100 + i, message number 50 + i.
PluRecord pluRow(int i) {
    return {qint16(100 + i),
            1000 + i,
            QStringLiteral("Item %1").arg(i),
            QStringLiteral("Line 2"),
            150 * i,
            7,
            20,
            1,
            0};
}
IngredRecord ingredRow(int i) {
    IngredRecord record;
    record.MessageNo = qint16(50 + i);
    record.Message1 = QStringLiteral("Message %1").arg(i);
    record.Message3 = QStringLiteral("Crème brûlée");
    return record;
}

struct DownloadEngineTest : ::testing::Test {
    SimulatedScale scale;
    ManualClock clock;
    SimLink sim{scale, &clock};
    RecordingLink link{sim, clock};
    TransferAbort abort;
    Wire wire{link, clock, &abort};
    std::unique_ptr<PluTable> plu = std::make_unique<PluTable>();
    std::unique_ptr<IngredTable> ingred = std::make_unique<IngredTable>();
    QStringList texts;
    QVector<QPair<int, int>> progress;

    void SetUp() override {
        plu->reset();
        ingred->reset();
        fillPlu(10);
        fillIngred(4);
        ASSERT_TRUE(async::waitFor(link.open()));
        link.events.clear();
    }

    void fillPlu(int count) {
        for (int i = 1; i <= count; ++i)
            plu->records[i] = pluRow(i);
        plu->count = qint16(count);
    }
    void fillIngred(int count) {
        for (int i = 1; i <= count; ++i)
            ingred->records[i] = ingredRow(i);
        ingred->count = qint16(count);
    }
    void withFaults(const char* text) { scale.addFaults(*parseFaults(QString::fromLatin1(text))); }

    template <typename TableT>
    Outcome download(const TableT& table, const DownloadSelection& selection,
                     const QString& source = QStringLiteral("/data/shop.file")) {
        const DownloadPlan plan = planDownload(table, source, selection);
        ExchangeEvents events;
        events.status = [this](const QString& text) { texts << text; };
        events.progress = [this](int done, int total) { progress.append({done, total}); };
        return async::waitFor(runDownload(plan, wire, events)).outcome;
    }

    // What the program did to the port, one line per event: "A5 @0", "close @5000",
    // "72 bytes @0" for writes longer than four bytes; times from `originMs` on.
    QStringList timeline(qint64 originMs = 0) const {
        QStringList lines;
        for (const RecordingLink::Event& event : link.events) {
            QString what;
            switch (event.kind) {
            case RecordingLink::Event::Open:
                what = QStringLiteral("open");
                break;
            case RecordingLink::Event::Close:
                what = QStringLiteral("close");
                break;
            case RecordingLink::Event::Write:
                what = event.bytes.size() > 4
                           ? QStringLiteral("%1 bytes").arg(event.bytes.size())
                           : QString::fromLatin1(event.bytes.toHex(' ').toUpper());
                break;
            }
            lines << QStringLiteral("%1 @%2").arg(what).arg(event.atMs - originMs);
        }
        return lines;
    }

    QByteArray storedPlu(int row) const {
        return scale.pluRecord(quint16(100 + row)).value_or(QByteArray());
    }
};

QStringList transfered(const char* prefix, std::initializer_list<int> rows) {
    QStringList lines;
    for (int row : rows)
        lines << QStringLiteral("%1%2 is transfered").arg(QLatin1String(prefix)).arg(row);
    return lines;
}

} // namespace

// --- selection --------------------------------------------------------------------------

TEST_F(DownloadEngineTest, OneRangeAndAllSendTheSelectedRowsInOrder) {
    EXPECT_EQ(download(*plu, one("2.5")), Outcome::Done); // halves to even: 2
    EXPECT_EQ(texts, transfered("plu#", {2}) << QStringLiteral(" THE END "));
    EXPECT_EQ(scale.pluNumbers(), (QList<quint16>{102}));

    texts.clear();
    EXPECT_EQ(download(*plu, range(" 3", "5 ")), Outcome::Done);
    EXPECT_EQ(texts, transfered("plu#", {3, 4, 5}) << QStringLiteral(" THE END "));

    texts.clear();
    scale.clearPlus();
    progress.clear();
    EXPECT_EQ(download(*plu, all()), Outcome::Done);
    EXPECT_EQ(texts, transfered("plu#", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
                         << QStringLiteral(" THE END "));
    ASSERT_EQ(scale.pluNumbers().size(), 10);
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(storedPlu(row), plu_wire::encode(pluRow(row)).bytes) << row;
    ASSERT_EQ(progress.size(), 11);
    EXPECT_EQ(progress.first(), qMakePair(0, 10));
    EXPECT_EQ(progress.last(), qMakePair(10, 10));
    EXPECT_EQ(clock.waitedMs(), 0); // no time-out, no pause
}

TEST_F(DownloadEngineTest, IngredientRowsAreFiledUnderTheirMessageNumbers) {
    EXPECT_EQ(download(*ingred, range("2", "4")), Outcome::Done);
    EXPECT_EQ(texts, transfered("Message#", {2, 3, 4}) << QStringLiteral(" THE END "));
    EXPECT_EQ(scale.ingredNumbers(), (QList<quint16>{52, 53, 54}));
    const QByteArray stored = scale.ingredRecord(53).value_or(QByteArray());
    EXPECT_EQ(stored, ingred_wire::encode(ingredRow(3)).bytes);
    EXPECT_EQ(stored.mid(100, 12), QByteArray("Cr\xE8me br\xFBl\xE9"
                                              "e"));
}

TEST_F(DownloadEngineTest, AReversedRangeSendsNothingAndEnds) {
    EXPECT_EQ(download(*plu, range("5", "3")), Outcome::Done);
    EXPECT_EQ(texts, QStringList{QStringLiteral(" THE END ")});
    EXPECT_TRUE(link.events.isEmpty());
}

TEST_F(DownloadEngineTest, SelectionsOutsideTheTableAreRefusedBeforeAnyByte) {
    struct Case {
        DownloadSelection selection;
        int count;
    };
    const Case refused[] = {
        {one("0"), 10},         {one("0.5"), 10},      {one("-1"), 10},
        {one("abc"), 10},       {one(""), 10},         {one("40000"), 10},
        {one("11"), 10},        {range("0", "3"), 10}, {range("3", "11"), 10},
        {range("12", "3"), 10}, {range("1", "x"), 10}, {all(), 0},
        {range("2", "-1"), 10}, {one("1e9"), 10},      {one("32767.5"), 10},
    };
    for (const Case& c : refused) {
        plu->count = qint16(c.count);
        ingred->count = qint16(c.count);
        texts.clear();
        EXPECT_EQ(download(*plu, c.selection), Outcome::Refused)
            << c.selection.oneNo.toStdString() << c.selection.startNo.toStdString();
        EXPECT_EQ(texts, QStringList{QStringLiteral("PLU Range is not valid")});
        texts.clear();
        EXPECT_EQ(download(*ingred, c.selection), Outcome::Refused);
        EXPECT_EQ(texts, QStringList{QStringLiteral("INGRED Range is not valid")});
    }
    EXPECT_TRUE(link.events.isEmpty());

    // The last row of the table is in range.
    plu->count = 10;
    texts.clear();
    EXPECT_EQ(download(*plu, one("10")), Outcome::Done);
    EXPECT_EQ(texts, transfered("plu#", {10}) << QStringLiteral(" THE END "));
}

TEST_F(DownloadEngineTest, NoSourceFileRefusesBeforeLookingAtTheBoxes) {
    EXPECT_EQ(download(*plu, one("abc"), QStringLiteral("?")), Outcome::Refused);
    EXPECT_EQ(download(*ingred, all(), QStringLiteral("?")), Outcome::Refused);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("ERROR! select plu files"),
                                  QStringLiteral("ERROR! select Ingred files")}));
    EXPECT_TRUE(link.events.isEmpty());
    // Any other path lets it run, whichever table it belongs to.
    EXPECT_EQ(download(*plu, one("1"), QStringLiteral("/data/shop.ingred")), Outcome::Done);
}

TEST_F(DownloadEngineTest, ARowThatCannotTravelRefusesTheWholeSelection) {
    plu->records[3].Tare = -1;
    EXPECT_EQ(download(*plu, range("1", "3")), Outcome::Refused);
    EXPECT_EQ(texts, QStringList{QStringLiteral(
                         "PLU row 3: Tare -1 cannot be sent: it must lie between 0 and 32767")});
    EXPECT_TRUE(link.events.isEmpty()); // not even rows 1 and 2

    texts.clear();
    plu->records[2].PluNo = -7;
    EXPECT_EQ(download(*plu, one("2")), Outcome::Refused);
    EXPECT_EQ(texts, QStringList{QStringLiteral(
                         "PLU row 2: PluNo -7 cannot be sent: it must lie between 0 and 32767")});

    texts.clear();
    ingred->records[4].Message2 = QStringLiteral("fresh \u2713");
    EXPECT_EQ(download(*ingred, all()), Outcome::Refused);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("INGRED row 4: Message2 holds \"\u2713\"")))
        << texts[0].toStdString();
    EXPECT_TRUE(link.events.isEmpty());

    // Rows outside the selection are not looked at.
    texts.clear();
    EXPECT_EQ(download(*plu, range("4", "5")), Outcome::Done);
}

// --- the exchange -----------------------------------------------------------------------

TEST_F(DownloadEngineTest, ARowTravelsAsSyncCommandNumberAndOneRecordWrite) {
    plu->records[1].ItemCode = 0x12345678;
    plu->records[1].UnitPrice = 1500;
    plu->records[1].PluNo = 300;
    ASSERT_EQ(download(*plu, one("1")), Outcome::Done);
    const QVector<QByteArray> writes = link.writes();
    ASSERT_EQ(writes.size(), 4);
    EXPECT_EQ(writes[0], bytes({0xA5}));
    EXPECT_EQ(writes[1], bytes({0x02}));
    EXPECT_EQ(writes[2], bytes({0x01, 0x2C}));
    ASSERT_EQ(writes[3].size(), 72);
    EXPECT_EQ(writes[3].left(4), bytes({0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(writes[3].mid(60, 4), bytes({0x00, 0x00, 0x05, 0xDC}));
    EXPECT_EQ(writes[3], plu_wire::encode(plu->records[1]).bytes);
    EXPECT_EQ(scale.pluRecord(300), writes[3]);

    link.events.clear();
    ASSERT_EQ(download(*ingred, one("2")), Outcome::Done);
    const QVector<QByteArray> ingredWrites = link.writes();
    ASSERT_EQ(ingredWrites.size(), 4);
    EXPECT_EQ(ingredWrites[0], bytes({0xA5}));
    EXPECT_EQ(ingredWrites[1], bytes({0x00}));
    EXPECT_EQ(ingredWrites[2], bytes({0x00, 52}));
    ASSERT_EQ(ingredWrites[3].size(), 400);
    EXPECT_EQ(ingredWrites[3].left(9), QByteArray("Message 2"));
    EXPECT_EQ(ingredWrites[3].mid(200), QByteArray(200, ' '));
}

TEST_F(DownloadEngineTest, ThePortIsReopenedAfterEveryAcceptedRow) {
    ASSERT_EQ(download(*plu, range("1", "2")), Outcome::Done);
    EXPECT_EQ(timeline(),
              (QStringList{"A5 @0", "02 @0", "00 65 @0", "72 bytes @0", "close @0", "open @0",
                           "A5 @0", "02 @0", "00 66 @0", "72 bytes @0", "close @0", "open @0"}));
    EXPECT_TRUE(link.isOpen());
}

// A sync failure pauses first, then reopens; a command or record failure reopens first, then
// pauses; a silent scale costs the byte's time-out before the pause.
TEST_F(DownloadEngineTest, EachRecoveredFailureReopensAndPausesInItsOrder) {
    const struct {
        const char* faults;
        bool ingredient;
        QStringList texts;
        QStringList timeline; // how it begins
    } cases[] = {
        {"sync:2",
         false,
         {"Sync error PLU No : 1", "Retry #1", "Sync error PLU No : 1", "Retry #2",
          "plu#1 is transfered", " THE END "},
         {"A5 @0", "close @5000", "open @5000", "A5 @5000", "close @10000", "open @10000",
          "A5 @10000", "02 @10000", "00 65 @10000", "72 bytes @10000", "close @10000",
          "open @10000"}},
        {"command:1,ack@101:1",
         false,
         {"Download command error", "Retry #1", "SyncOK error", "Retry #2", "plu#1 is transfered",
          " THE END "},
         {"A5 @0", "02 @0", "close @0", "open @0", "A5 @5000", "02 @5000", "00 65 @5000",
          "72 bytes @5000", "close @5000", "open @5000", "A5 @10000", "02 @10000", "00 65 @10000",
          "72 bytes @10000", "close @10000", "open @10000"}},
        {"silence",
         true,
         {"Sync error Message No : 1", "Retry #1", "Message#1 is transfered", " THE END "},
         {"A5 @0", "close @6000", "open @6000", "A5 @6000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        texts.clear();
        link.events.clear();
        const qint64 start = clock.nowMs();
        withFaults(c.faults);
        ASSERT_EQ(c.ingredient ? download(*ingred, one("1")) : download(*plu, one("1")),
                  Outcome::Done);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(timeline(start).mid(0, c.timeline.size()), c.timeline);
    }
    EXPECT_EQ(storedPlu(1), plu_wire::encode(pluRow(1)).bytes);
}

TEST_F(DownloadEngineTest, FailuresAtDifferentStepsOfARowAddUp) {
    withFaults("sync:3,ack@51:3");
    EXPECT_EQ(download(*ingred, one("1")), Outcome::GaveUp);
    EXPECT_EQ(texts.last(), QStringLiteral("SyncOK error"));
    EXPECT_EQ(texts.count(QStringLiteral("Sync error Message No : 1")), 3);
    EXPECT_FALSE(scale.ingredRecord(51));

    texts.clear();
    withFaults("sync:2,command:2,ack@101:2");
    EXPECT_EQ(download(*plu, one("1")), Outcome::GaveUp);
    EXPECT_EQ(texts,
              (QStringList{"Sync error PLU No : 1", "Retry #1", "Sync error PLU No : 1", "Retry #2",
                           "Download command error", "Retry #3", "Download command error",
                           "Retry #4", "SyncOK error", "Retry #5", "SyncOK error"}));
    EXPECT_FALSE(scale.pluRecord(101));
}

TEST_F(DownloadEngineTest, TheRetryCountStartsAfreshForEveryRow) {
    withFaults("ack@101:5,ack@102:5");
    EXPECT_EQ(download(*plu, range("1", "2")), Outcome::Done);
    EXPECT_EQ(texts.count(QStringLiteral("Retry #5")), 2);
    EXPECT_EQ(texts.mid(texts.size() - 2), transfered("plu#", {2}) << QStringLiteral(" THE END "));
    EXPECT_EQ(scale.pluNumbers(), (QList<quint16>{101, 102}));
}

TEST_F(DownloadEngineTest, AWrongEchoCompletesTheRecordWithZerosAndCountsAsAFailure) {
    withFaults("echo@101");
    ASSERT_EQ(download(*plu, one("1")), Outcome::Done);
    EXPECT_EQ(texts,
              (QStringList{"PLU # is not same", "Retry #1", "plu#1 is transfered", " THE END "}));
    const QVector<QByteArray> writes = link.writes();
    ASSERT_EQ(writes.size(), 3 + 72 + 4);
    for (int i = 3; i < 3 + 72; ++i)
        EXPECT_EQ(writes[i], bytes({0x00})) << i;
    EXPECT_EQ(writes[3 + 72], bytes({0xA5})); // at once: no pause, no reopen
    EXPECT_EQ(clock.waitedMs(), 0);
    EXPECT_EQ(link.events.count(), writes.size() + 2); // the one reopen after the row

    // Ingredient messages are completed with 400 zero bytes.
    link.events.clear();
    withFaults("echo@51");
    ASSERT_EQ(download(*ingred, one("1")), Outcome::Done);
    const QVector<QByteArray> ingredWrites = link.writes();
    ASSERT_EQ(ingredWrites.size(), 3 + 400 + 4);
    EXPECT_EQ(ingredWrites[3 + 400], bytes({0xA5}));
    EXPECT_EQ(ingredWrites.mid(3, 400), QVector<QByteArray>(400, bytes({0x00})));
}

TEST_F(DownloadEngineTest, AMissingEchoIsWrongEvenForNumberZero) {
    plu->records[1].PluNo = 0;
    withFaults("silence@0");
    ASSERT_EQ(download(*plu, one("1")), Outcome::Done);
    EXPECT_EQ(texts,
              (QStringList{"PLU # is not same", "Retry #1", "plu#1 is transfered", " THE END "}));
    EXPECT_EQ(clock.waitedMs(), 1000); // the echo's time-out
    EXPECT_TRUE(scale.pluRecord(0));
}

// --- ends that are not the scale's doing ---------------------------------------------------

TEST_F(DownloadEngineTest, ARefusedReopenEndsTheDownload) {
    link.refuseOpen = true;
    EXPECT_EQ(download(*plu, range("1", "2")), Outcome::PortLost);
    EXPECT_EQ(texts,
              (QStringList{"plu#1 is transfered", "Transfer stopped on port sim: device busy"}));
    EXPECT_EQ(link.writes().size(), 4);
}

TEST_F(DownloadEngineTest, AClosedPortEndsTheDownloadBeforeAnyByte) {
    link.close();
    link.events.clear();
    EXPECT_EQ(download(*plu, one("1")), Outcome::PortLost);
    EXPECT_EQ(texts, QStringList{"Transfer stopped on port sim: the port sim is not open"});
    EXPECT_TRUE(link.events.isEmpty());
}

TEST_F(DownloadEngineTest, CancelEndsAPauseAtOnceAndLeavesThePortOpen) {
    withFaults("sync:*");
    clock.setOnWait([&](qint64 deadline) {
        if (deadline - clock.nowMs() == scale::kStandardScale.retries.downloadPauseMs)
            abort.abort(QStringLiteral("Cancel"));
    });
    EXPECT_EQ(download(*plu, range("1", "2")), Outcome::Cancelled);
    EXPECT_EQ(texts, (QStringList{"Sync error PLU No : 1", "Retry #1", "Transfer cancelled"}));
    EXPECT_EQ(link.writes(), QVector<QByteArray>{bytes({0xA5})});
    EXPECT_EQ(clock.waitedMs(), 0);
    EXPECT_TRUE(link.isOpen());
}

TEST_F(DownloadEngineTest, CancelEndsAWaitForTheScale) {
    withFaults("silence");
    clock.setOnWait([&](qint64) { abort.abort(QStringLiteral("Cancel")); });
    EXPECT_EQ(download(*ingred, all()), Outcome::Cancelled);
    EXPECT_EQ(texts, QStringList{"Transfer cancelled"});
    EXPECT_EQ(link.written, bytes({0xA5}));
    EXPECT_TRUE(link.isOpen());
}
