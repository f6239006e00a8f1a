#include "protocol/SimLink.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"
#include "serial/Wire.h"
#include "support/ByteList.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(SimLinkTest, AnswersArriveFromTheEventLoopLikeAPortsBytes) {
    SimulatedScale scale;
    ManualClock clock;
    SimLink link(scale, &clock);
    int notices = 0;
    QObject::connect(&link, &Link::readyRead, [&] { ++notices; });
    ASSERT_TRUE(async::waitFor(link.open()));
    ASSERT_TRUE(link.write(bytes({0xA5})));
    EXPECT_EQ(link.bytesWaiting(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(link.takeAll(), bytes({0x77}));
}

TEST(SimLinkTest, ClosingDropsAnswersStillOnTheirWay) {
    SimulatedScale scale;
    ManualClock clock;
    SimLink link(scale, &clock);
    ASSERT_TRUE(async::waitFor(link.open()));
    link.write(bytes({0xA5, 0x06}));
    link.close();
    EXPECT_FALSE(link.write(bytes({0xA5})));
    ASSERT_TRUE(async::waitFor(link.open()));
    QCoreApplication::processEvents();
    EXPECT_EQ(link.bytesWaiting(), 0);
}

TEST(SimLinkTest, TheScaleMeasuresIdleGapsOnTheGivenClock) {
    SimulatedScale scale;
    ManualClock clock;
    SimLink link(scale, &clock);
    ASSERT_TRUE(async::waitFor(link.open()));
    link.write(bytes({0xA5, 0x02, 0x00}));
    EXPECT_FALSE(scale.idle());
    clock.advance(scale::kStandardScale.idleResetMs);
    link.write(bytes({0x01}));
    EXPECT_TRUE(scale.idle()); // the stale frame was dropped, the lone byte ignored
}

TEST(SimLinkTest, ABrokenLinkSaysSoUntilReopened) {
    SimulatedScale scale;
    SimLink link(scale);
    QString reason;
    QObject::connect(&link, &Link::failed, [&](const QString& why) { reason = why; });
    ASSERT_TRUE(async::waitFor(link.open()));
    link.breakLink(QStringLiteral("unplugged"));
    EXPECT_EQ(reason, QStringLiteral("unplugged"));
    EXPECT_FALSE(link.write(bytes({0xA5})));
    EXPECT_EQ(link.errorString(), QStringLiteral("unplugged"));
    ASSERT_TRUE(async::waitFor(link.open()));
    EXPECT_TRUE(link.write(bytes({0xA5})));
}

TEST(SimLinkTest, PacedAnswersArriveWholeAndInOrder) {
    SimulatedScale scale;
    scale.setDisplay({0x01020304, 0x05060708, 0x090A0B0C});
    RealClock clock;
    SimLink link(scale, &clock, 9600);
    ASSERT_TRUE(async::waitFor(link.open()));
    Wire wire(link, clock);
    ASSERT_EQ(wire.TxByte(0xA5), WireStatus::Ok);
    ASSERT_EQ(async::waitFor(wire.RxByte()).value, 0x77);
    ASSERT_EQ(wire.TxByte(0x06), WireStatus::Ok);
    quint32 weight = 0, unit = 0, total = 0;
    ASSERT_EQ(async::waitFor(wire.RxFip(weight, unit, total)), WireStatus::Ok);
    EXPECT_EQ(weight, 0x01020304u);
    EXPECT_EQ(unit, 0x05060708u);
    EXPECT_EQ(total, 0x090A0B0Cu);
}

TEST(SimLinkTest, TheEmbeddedScaleKeepsWhatWasDownloadedForThePortNameSim) {
    registerSimulatedScaleLink();
    registerSimulatedScaleLink(); // harmless twice
    PluRecord record;
    record.PluNo = 321;
    record.ItemName1 = QStringLiteral("Quince");
    const QByteArray wireRecord = plu_wire::encode(record).bytes;
    {
        const std::unique_ptr<Link> link = createLink(QStringLiteral("sim"));
        ASSERT_EQ(link->name(), QStringLiteral("sim"));
        ASSERT_TRUE(async::waitFor(link->open()));
        link->write(bytes({0xA5, 0x02, 0x01, 0x41}) + wireRecord);
        QCoreApplication::processEvents();
        EXPECT_EQ(link->takeAll(), bytes({0x77, 0x01, 0x01, 0x41, 0x10}));
    }
    EXPECT_EQ(embeddedScale().pluRecord(321), wireRecord);
    EXPECT_TRUE(embeddedScale().pluRecord(1).has_value()); // the samples are still there
}

TEST(PacerTest, WithoutARateEverythingGoesOutInOnePassOfTheEventLoop) {
    Pacer pacer;
    QByteArray out;
    QObject::connect(&pacer, &Pacer::released, [&](const QByteArray& chunk) { out += chunk; });
    pacer.push("abc");
    pacer.push("def");
    EXPECT_TRUE(out.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(out, QByteArray("abcdef"));

    pacer.push("lost");
    pacer.clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(out, QByteArray("abcdef"));
}
