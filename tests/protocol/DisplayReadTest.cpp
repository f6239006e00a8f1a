#include "protocol/DisplayRead.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/TransferAbort.h"
#include "serial/Wire.h"

#include <gtest/gtest.h>

namespace {

struct DisplayReadFixture : ::testing::Test {
    SimulatedScale scale = SimulatedScale::withSamples();
    ManualClock clock;
    SimLink link{scale, &clock};
    TransferAbort abort;
    Wire wire{link, clock, &abort};

    void SetUp() override { ASSERT_TRUE(async::waitFor(link.open())); }
    void withFaults(const char* text) { scale.addFaults(*parseFaults(QString::fromLatin1(text))); }
};

} // namespace

using DisplayReadTest = DisplayReadFixture;

// Values with the top bit set are the unsigned numbers on the wire; zeros are shown, too.
TEST_F(DisplayReadTest, ShowsTheThreeValuesOfTheRecord) {
    for (const DisplayValues values :
         {DisplayValues{1234, 1000, 4660}, DisplayValues{0x80000000u, 0xFFFFFFFFu, 0},
          DisplayValues{0, 0, 0}}) {
        scale.setDisplay(values);
        const DisplayReadResult result = async::waitFor(readDisplay(wire));
        EXPECT_EQ(result.ending.outcome, Outcome::Done);
        EXPECT_TRUE(result.showValues());
        EXPECT_EQ(result.values, values);
        EXPECT_EQ(link.bytesWaiting(), 0);
    }
    EXPECT_EQ(clock.waitedMs(), 0);
}

TEST_F(DisplayReadTest, LeftoverBytesSpoilTheNextReadUntilTheLinkIsReopened) {
    withFaults("long");
    async::waitFor(readDisplay(wire));
    EXPECT_EQ(async::waitFor(readDisplay(wire)).ending.outcome, Outcome::GaveUp);
    ASSERT_EQ(async::waitFor(wire.reopen()), WireStatus::Ok);
    clock.advance(scale::kStandardScale.idleResetMs);
    EXPECT_EQ(async::waitFor(readDisplay(wire)).ending.outcome, Outcome::Done);
}

TEST_F(DisplayReadTest, AFailedOrClosedLinkChangesNothingAndSaysWhy) {
    link.close();
    DisplayReadResult result = async::waitFor(readDisplay(wire));
    EXPECT_EQ(result.ending.outcome, Outcome::PortLost);
    EXPECT_FALSE(result.showValues());
    EXPECT_TRUE(result.ending.reason.contains(QLatin1String("not open")));

    ASSERT_EQ(async::waitFor(wire.reopen()), WireStatus::Ok);
    link.breakLink(QStringLiteral("connection lost"));
    result = async::waitFor(readDisplay(wire));
    EXPECT_EQ(result.ending.outcome, Outcome::PortLost);
    EXPECT_EQ(result.ending.reason, QStringLiteral("connection lost"));
}

TEST_F(DisplayReadTest, AnAbortEndsTheReadWithoutChangingAnything) {
    withFaults("short");
    clock.setOnWait([&](qint64) {
        if (link.bytesWaiting() == 11)
            abort.abort(QStringLiteral("Exit"));
    });
    const DisplayReadResult result = async::waitFor(readDisplay(wire));
    EXPECT_EQ(result.ending.outcome, Outcome::Cancelled);
    EXPECT_FALSE(result.showValues());
}
