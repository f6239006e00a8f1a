#include "serial/Wire.h"
#include "ScriptedLink.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"
#include "support/ByteList.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct WireFixture : ::testing::Test {
    ScriptedLink link;
    ManualClock clock{59'500}; // any start: time is monotonic, never a second-of-minute
    TransferAbort abort;
    Wire wire{link, clock, &abort};
};

// A clock whose waits end early: each one moves time by a fraction of what was asked.
class EarlyWakingClock : public Clock {
public:
    qint64 nowMs() const override { return now; }
    async::Task<WaitResult> waitUntil(qint64 deadline, Link*, const TransferAbort*) override {
        ++waits;
        now = qMin(deadline, now + 300);
        co_return WaitResult::Deadline;
    }
    qint64 now = 0;
    int waits = 0;
};

} // namespace

using SendTest = WireFixture;

TEST_F(SendTest, IntegersGoBigEndianInTwoBytes) {
    for (int value : {0, 255, 256, 32767, 300})
        ASSERT_EQ(wire.TxInt(value), WireStatus::Ok);
    EXPECT_EQ(link.written(), bytes({0x00, 0x00, 0x00, 0xFF, 0x01, 0x00, 0x7F, 0xFF, 0x01, 0x2C}));
}

TEST_F(SendTest, ValuesTheWireCannotCarryAreRefusedAndNothingIsSent) {
    EXPECT_EQ(wire.TxInt(-1), WireStatus::OutOfRange);
    EXPECT_EQ(wire.TxInt(32768), WireStatus::OutOfRange);
    EXPECT_TRUE(wire.errorText().contains(QLatin1String("32768")));
    EXPECT_TRUE(link.written().isEmpty());
}

TEST_F(SendTest, BytesAndRecordsAreWrittenAsGiven) {
    ASSERT_EQ(wire.TxByte(0xA5), WireStatus::Ok);
    ASSERT_EQ(wire.TxBytes(bytes({0x00, 0x10, 0xFF})), WireStatus::Ok);
    EXPECT_EQ(link.written(), bytes({0xA5, 0x00, 0x10, 0xFF}));
}

TEST_F(SendTest, LinkFailuresSurface) {
    link.refuseWrite = true;
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::LinkFailed);
    EXPECT_EQ(wire.errorText(), QStringLiteral("write failed"));

    ScriptedLink closed;
    closed.isOpen_ = false;
    Wire other(closed, clock);
    EXPECT_EQ(other.TxByte(0xA5), WireStatus::LinkFailed);
    EXPECT_TRUE(other.errorText().contains(QLatin1String("not open")));
    EXPECT_TRUE(closed.written().isEmpty());
}

using ReceiveTest = WireFixture;

TEST_F(ReceiveTest, DecodesWhatArrivesWhileWaiting) {
    clock.setOnWait([&](qint64) { link.arrive(bytes({0x02, 0x58})); });
    const Received<int> number = async::waitFor(wire.RxInt());
    EXPECT_TRUE(number.ok());
    EXPECT_EQ(number.value, 600);
    EXPECT_EQ(link.bytesWaiting(), 0);
    EXPECT_EQ(clock.waitedMs(), 0);

    link.arrive(bytes({0x00}));
    const Received<quint8> zero = async::waitFor(wire.RxByte());
    EXPECT_TRUE(zero.ok()); // a real 0x00, told apart from a time-out only by the status
    EXPECT_EQ(zero.value, 0);
}

TEST_F(ReceiveTest, TimeOutsReturnZeroAfterExactlyTheirLimit) {
    const Received<quint8> byte = async::waitFor(wire.RxByte());
    EXPECT_EQ(byte.status, WireStatus::TimedOut);
    EXPECT_EQ(byte.value, 0);
    EXPECT_EQ(clock.waitedMs(), 1000);

    const Received<int> number = async::waitFor(wire.RxInt());
    EXPECT_EQ(number.status, WireStatus::TimedOut);
    EXPECT_EQ(number.value, 0);
    EXPECT_EQ(clock.waitedMs(), 2000);

    quint32 weight = 7, unit = 8, total = 9;
    EXPECT_EQ(async::waitFor(wire.RxFip(weight, unit, total)), WireStatus::TimedOut);
    EXPECT_EQ(clock.waitedMs(), 7000);
    EXPECT_EQ(weight, 7u); // out-values untouched
    EXPECT_EQ(unit, 8u);
    EXPECT_EQ(total, 9u);
}

TEST_F(ReceiveTest, MoreBytesThanAwaitedIsATimeOutThatKeepsThemAll) {
    link.arrive(bytes({0x77, 0x10}));
    const Received<quint8> byte = async::waitFor(wire.RxByte());
    EXPECT_EQ(byte.status, WireStatus::TimedOut);
    EXPECT_EQ(byte.value, 0);
    EXPECT_EQ(link.takeAll(), bytes({0x77, 0x10}));
}

TEST_F(ReceiveTest, FewerBytesKeepItWaitingUntilTheRestArrives) {
    link.arrive(bytes({0, 0, 4, 0xD2, 0}));
    int waits = 0;
    clock.setOnWait([&](qint64) {
        if (++waits == 1)
            link.arrive(bytes({0, 3, 0xE8, 0, 0, 0x12, 0x34}));
    });
    quint32 weight = 1, unit = 1, total = 1;
    ASSERT_EQ(async::waitFor(wire.RxFip(weight, unit, total)), WireStatus::Ok);
    EXPECT_EQ(weight, 1234u);
    EXPECT_EQ(unit, 1000u);
    EXPECT_EQ(total, 4660u);

    // Too few and nothing more: the partial record stays where it is.
    link.arrive(bytes({1, 2, 3}));
    EXPECT_EQ(async::waitFor(wire.RxFip(weight, unit, total)), WireStatus::TimedOut);
    EXPECT_EQ(link.bytesWaiting(), 3);
    EXPECT_EQ(weight, 1234u);
}

TEST_F(ReceiveTest, NeverGivesUpBeforeTheLimitEvenWhenWokenEarly) {
    EarlyWakingClock early;
    early.now = 59'900;
    Wire onEarly(link, early);
    EXPECT_EQ(async::waitFor(onEarly.RxByte()).status, WireStatus::TimedOut);
    EXPECT_EQ(early.now, 59'900 + 1000);
    EXPECT_EQ(early.waits, 4); // 300 + 300 + 300 + 100

    early.now = 0;
    early.waits = 0;
    quint32 a = 0, b = 0, c = 0;
    EXPECT_EQ(async::waitFor(onEarly.RxFip(a, b, c)), WireStatus::TimedOut);
    EXPECT_EQ(early.now, 5000);
}

TEST_F(ReceiveTest, ValuesBeyondTheSignedRangeAreReportedNotWrapped) {
    link.arrive(bytes({0x80, 0x00}));
    const Received<int> number = async::waitFor(wire.RxInt());
    EXPECT_EQ(number.status, WireStatus::OutOfRange);
    EXPECT_EQ(number.value, 0);
    EXPECT_TRUE(wire.errorText().contains(QLatin1String("32768")));
    EXPECT_EQ(link.bytesWaiting(), 0);

    // The display record is unsigned by design: the top bit is a value, not an error.
    link.arrive(bytes({0x80, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF}));
    quint32 weight = 0, unit = 0, total = 0;
    ASSERT_EQ(async::waitFor(wire.RxFip(weight, unit, total)), WireStatus::Ok);
    EXPECT_EQ(weight, 2147483648u);
    EXPECT_EQ(unit, 4294967295u);
    EXPECT_EQ(total, 2147483647u);
}

TEST_F(ReceiveTest, ExactCountOfAnySize) {
    link.arrive(QByteArray(77, 'x'));
    const Received<QByteArray> reply = async::waitFor(wire.receiveExactly(77, 4000));
    ASSERT_TRUE(reply.ok());
    EXPECT_EQ(reply.value.size(), 77);

    link.arrive(QByteArray(76, 'x'));
    EXPECT_EQ(async::waitFor(wire.receiveExactly(77, 4000)).status, WireStatus::TimedOut);
    EXPECT_EQ(clock.waitedMs(), 4000);
}

TEST_F(ReceiveTest, ALinkFailureEndsTheWaitAtOnce) {
    clock.setOnWait([&](qint64) { link.breakDown(QStringLiteral("cable pulled")); });
    EXPECT_EQ(async::waitFor(wire.RxByte()).status, WireStatus::LinkFailed);
    EXPECT_EQ(wire.errorText(), QStringLiteral("cable pulled"));
    EXPECT_EQ(clock.waitedMs(), 0);
    clock.setOnWait(nullptr);

    // Remembered until the link is reopened.
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::LinkFailed);
    ASSERT_EQ(async::waitFor(wire.reopen()), WireStatus::Ok);
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::Ok);
}

TEST_F(ReceiveTest, AFailureReportedBetweenStepsStopsTheNextOne) {
    link.breakDown(QStringLiteral("device gone"));
    EXPECT_EQ(async::waitFor(wire.RxByte()).status, WireStatus::LinkFailed);
    EXPECT_EQ(clock.waits(), 0);
}

using AbortTest = WireFixture;

TEST_F(AbortTest, EndsAWaitAtOnceAndStopsSending) {
    clock.setOnWait([&](qint64) { abort.abort(QStringLiteral("Cancelled")); });
    quint32 a = 5, b = 5, c = 5;
    EXPECT_EQ(async::waitFor(wire.RxFip(a, b, c)), WireStatus::Cancelled);
    EXPECT_EQ(wire.errorText(), QStringLiteral("Cancelled"));
    EXPECT_EQ(clock.waitedMs(), 0);
    EXPECT_EQ(a, 5u);

    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::Cancelled);
    EXPECT_TRUE(link.written().isEmpty());
    EXPECT_EQ(async::waitFor(wire.pause(5000)), WireStatus::Cancelled);
    EXPECT_EQ(async::waitFor(wire.reopen()), WireStatus::Cancelled);

    abort.reset();
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::Ok);
}

TEST_F(AbortTest, EndsAPauseWithoutWaitingItOut) {
    clock.setOnWait([&](qint64) { abort.abort(QStringLiteral("Exit")); });
    EXPECT_EQ(async::waitFor(wire.pause(5000)), WireStatus::Cancelled);
    EXPECT_EQ(clock.waitedMs(), 0);
}

using PauseTest = WireFixture;

TEST_F(PauseTest, LastsExactlyAsLongOnTheClock) {
    EXPECT_EQ(async::waitFor(wire.pause(5000)), WireStatus::Ok);
    EXPECT_EQ(async::waitFor(wire.pause(2000)), WireStatus::Ok);
    EXPECT_EQ(clock.waitedMs(), 7000);
    EXPECT_EQ(clock.nowMs(), 59'500 + 7000);
}

using ReopenTest = WireFixture;

TEST_F(ReopenTest, LeavesNothingWaiting) {
    link.arrive(bytes({0x10, 0x77}));
    ASSERT_EQ(async::waitFor(wire.reopen()), WireStatus::Ok);
    EXPECT_EQ(link.bytesWaiting(), 0);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.opens, 1);
}

TEST_F(ReopenTest, ARefusedOpenSaysWhy) {
    link.refuseOpen = true;
    EXPECT_EQ(async::waitFor(wire.reopen()), WireStatus::LinkFailed);
    EXPECT_EQ(wire.errorText(), QStringLiteral("device busy"));
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::LinkFailed);
}

TEST(RealClockTest, WakesOnDataAbortAndFailureWithoutWaitingForTheDeadline) {
    RealClock clock;
    ScriptedLink link;
    TransferAbort abort;
    const qint64 farAway = clock.nowMs() + 600'000;

    QTimer::singleShot(0, &link, [&] { link.arrive("x"); });
    EXPECT_EQ(async::waitFor(clock.waitUntil(farAway, &link, &abort)), WaitResult::Data);

    QTimer::singleShot(0, &link, [&] { link.breakDown(QStringLiteral("gone")); });
    EXPECT_EQ(async::waitFor(clock.waitUntil(farAway, &link, &abort)), WaitResult::LinkFailed);

    QTimer::singleShot(0, &abort, [&] { abort.abort(QStringLiteral("Exit")); });
    EXPECT_EQ(async::waitFor(clock.waitUntil(farAway, &link, &abort)), WaitResult::Cancelled);
    EXPECT_EQ(async::waitFor(clock.waitUntil(farAway, &link, &abort)),
              WaitResult::Cancelled); // stays aborted

    EXPECT_EQ(async::waitFor(clock.waitUntil(clock.nowMs() - 1, nullptr, nullptr)),
              WaitResult::Deadline);
}

// A wait on the real clock suspends the exchange and returns to the event loop; what wakes it
// (bytes, an abort) returns before the exchange goes on, and an exchange destroyed while it
// waits leaves nothing behind that could run or send later.
TEST(RealClockTest, AWaitSuspendsAndGoesOnFromTheEventLoop) {
    RealClock clock;
    ScriptedLink link;
    async::waitFor(link.open());
    TransferAbort abort;
    Wire wire(link, clock, &abort);

    async::Task<Received<quint8>> answer = wire.RxByte();
    EXPECT_FALSE(answer.isDone());
    link.arrive(bytes({0x77}));
    EXPECT_FALSE(answer.isDone()); // not inside the signal
    EXPECT_EQ(async::waitFor(std::move(answer)).value, 0x77);

    async::Task<WireStatus> pause = wire.pause(600'000);
    abort.abort(QStringLiteral("Cancel"));
    EXPECT_FALSE(pause.isDone());
    EXPECT_EQ(async::waitFor(std::move(pause)), WireStatus::Cancelled);
    EXPECT_EQ(wire.TxByte(0xA5), WireStatus::Cancelled);

    {
        Wire other(link, clock);
        const async::Task<Received<quint8>> dropped = other.RxByte();
    }
    link.arrive(bytes({0x77}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(link.sent.isEmpty());
}

TEST(ManualClockTest, DeliversQueuedEventsBeforeJumping) {
    ManualClock clock(100);
    ScriptedLink link;
    QTimer::singleShot(0, &link, [&] { link.arrive("x"); });
    EXPECT_EQ(async::waitFor(clock.waitUntil(1100, &link, nullptr)), WaitResult::Data);
    EXPECT_EQ(clock.nowMs(), 100);
    EXPECT_EQ(async::waitFor(clock.waitUntil(1100, &link, nullptr)), WaitResult::Deadline);
    EXPECT_EQ(clock.nowMs(), 1100);
    EXPECT_EQ(clock.waitedMs(), 1000);
}
