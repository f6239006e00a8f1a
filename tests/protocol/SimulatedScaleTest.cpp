#include "protocol/SimulatedScale.h"
#include "protocol/FaultSpec.h"
#include "protocol/PluWireRecord.h"
#include "support/ByteList.h"

#include <gtest/gtest.h>

namespace {

QByteArray record72(char fill) {
    return QByteArray(72, fill);
}

// Plays the PC's side of the exchanges against the scale, all at one moment unless the test
// moves the time on.
struct ScaleFixture : ::testing::Test {
    SimulatedScale scale = SimulatedScale::withSamples();
    qint64 now = 10'000;

    QByteArray send(const QByteArray& in) { return scale.feed(in, now); }
    void withFaults(const char* text) {
        QString error;
        const auto faults = parseFaults(QString::fromLatin1(text), &error);
        ASSERT_TRUE(faults) << error.toStdString();
        scale.addFaults(*faults);
    }
    // A whole PLU download of `record` under `pluNo`; returns every answer in order.
    QByteArray downloadPlu(int pluNo, const QByteArray& record) {
        QByteArray answers = send(bytes({0xA5}));
        answers += send(bytes({0x02}));
        answers += send(bytes({pluNo >> 8, pluNo & 0xFF}));
        answers += send(record);
        return answers;
    }
    QByteArray upload(int n) {
        QByteArray answers = send(bytes({0xA5}));
        answers += send(bytes({0x05}));
        answers += send(bytes({n >> 8, n & 0xFF}));
        return answers;
    }
};

} // namespace

using ScaleExchangeTest = ScaleFixture;

TEST_F(ScaleExchangeTest, AnswersTheSyncAndIgnoresNoiseWhileIdle) {
    EXPECT_EQ(send(bytes({0x00, 0x10, 0x77})), QByteArray());
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77}));
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77})); // a second sync instead of a command
    EXPECT_EQ(scale.exchanges(), 2);
}

TEST_F(ScaleExchangeTest, PluDownloadEchoesStoresAndAcknowledges) {
    EXPECT_EQ(downloadPlu(300, record72('r')), bytes({0x77, 0x01, 0x01, 0x2C, 0x10}));
    EXPECT_EQ(scale.pluRecord(300), record72('r'));
    EXPECT_TRUE(scale.idle());
}

TEST_F(ScaleExchangeTest, TheWholeExchangeMayArriveInOneBurst) {
    const QByteArray burst = bytes({0xA5, 0x02, 0x00, 0x09}) + record72('q');
    EXPECT_EQ(send(burst), bytes({0x77, 0x01, 0x00, 0x09, 0x10}));
    EXPECT_EQ(scale.pluRecord(9), record72('q'));
}

TEST_F(ScaleExchangeTest, IngredientDownloadTakesFourHundredBytes) {
    EXPECT_EQ(send(bytes({0xA5, 0x00, 0x00, 0x07})), bytes({0x77, 0x01, 0x00, 0x07}));
    EXPECT_EQ(send(QByteArray(399, 'm')), QByteArray());
    EXPECT_EQ(send("m"), bytes({0x10}));
    EXPECT_EQ(scale.ingredRecord(7), QByteArray(400, 'm'));
    EXPECT_FALSE(scale.pluRecord(7).has_value() && scale.pluRecord(7)->startsWith("mmm"));
}

TEST_F(ScaleExchangeTest, UploadRepliesWithNumberPluNoRecordAndEndByte) {
    const QByteArray reply = upload(3);
    ASSERT_EQ(reply.size(), 1 + 1 + 77);
    EXPECT_EQ(reply.left(2), bytes({0x77, 0x01}));
    const QByteArray body = reply.mid(2);
    EXPECT_EQ(body.left(4), bytes({0x00, 0x03, 0x00, 0x03}));
    EXPECT_EQ(body.mid(4, 72), *scale.pluRecord(3));
    EXPECT_EQ(quint8(body.at(76)), 0x10);
    const plu_wire::Decoded sample = plu_wire::decode(body.mid(4, 72));
    ASSERT_TRUE(sample.ok());
    EXPECT_EQ(sample.record.ItemName1.trimmed(), QStringLiteral("Cheese"));
}

TEST_F(ScaleExchangeTest, UploadOfANumberNotHeldStartsWithAnotherNumber) {
    const QByteArray reply = upload(6).mid(2);
    ASSERT_EQ(reply.size(), 77);
    EXPECT_NE(reply.left(2), bytes({0x00, 0x06}));
}

TEST_F(ScaleExchangeTest, DisplayReadSendsTheThreeValues) {
    scale.setDisplay({1234, 1000, 0xFFFFFFFF});
    EXPECT_EQ(send(bytes({0xA5, 0x06})),
              bytes({0x77, 0, 0, 0x04, 0xD2, 0, 0, 0x03, 0xE8, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(ScaleExchangeTest, UnknownCommandsAreIgnored) {
    EXPECT_EQ(send(bytes({0xA5, 0x09, 0x06})), bytes({0x77}));
    EXPECT_TRUE(scale.idle());
}

TEST_F(ScaleExchangeTest, AHalfReceivedFrameIsDroppedAfterAnIdleGap) {
    send(bytes({0xA5, 0x02, 0x00, 0x04}));
    send(record72('h').left(30));
    now += scale::kStandardScale.idleResetMs - 1;
    EXPECT_EQ(send(record72('h').left(42)), bytes({0x10})); // still the same frame

    send(bytes({0xA5, 0x02, 0x00, 0x04}));
    send(record72('z').left(30));
    now += scale::kStandardScale.idleResetMs;
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77})); // a fresh exchange, not record byte 31
    EXPECT_EQ(scale.pluRecord(4), record72('h'));
}

TEST_F(ScaleExchangeTest, SamplesHoldFivePlusAndADisplay) {
    EXPECT_EQ(scale.pluNumbers(), (QList<quint16>{1, 2, 3, 4, 5}));
    EXPECT_NE(scale.display().weight, 0u);
    EXPECT_NE(scale.display().totalPrice, 0u);
}

using ScaleFaultTest = ScaleFixture;

TEST_F(ScaleFaultTest, WrongSyncAnswerForAsManyAttemptsAsAsked) {
    withFaults("sync:2");
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x78}));
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x78}));
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77}));
    EXPECT_TRUE(scale.pendingFaults().isEmpty());
}

TEST_F(ScaleFaultTest, FaultsFromAGivenExchangeOn) {
    withFaults("silence#2,command#3");
    EXPECT_EQ(send(bytes({0xA5, 0x02})), bytes({0x77, 0x01}));
    scale.dropFrame();
    EXPECT_EQ(send(bytes({0xA5})), QByteArray()); // exchange 2: silent
    EXPECT_EQ(send(bytes({0xA5, 0x05})), bytes({0x77, 0x15}));
    EXPECT_TRUE(scale.idle());
}

TEST_F(ScaleFaultTest, WrongEchoOnlyForTheNamedNumberAndTheRecordIsTakenButNotStored) {
    withFaults("echo@5");
    EXPECT_EQ(downloadPlu(4, record72('a')), bytes({0x77, 0x01, 0x00, 0x04, 0x10}));
    EXPECT_EQ(downloadPlu(5, QByteArray(72, '\0')), bytes({0x77, 0x01, 0x00, 0x06}));
    EXPECT_NE(scale.pluRecord(5), QByteArray(72, '\0')); // the sample stays
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77}));       // right after the 72 bytes
    scale.dropFrame();
    EXPECT_EQ(downloadPlu(5, record72('b')), bytes({0x77, 0x01, 0x00, 0x05, 0x10}));
}

TEST_F(ScaleFaultTest, WrongCommandAnswerAndWrongAcknowledgement) {
    withFaults("command,ack@8:2");
    EXPECT_EQ(send(bytes({0xA5, 0x02})), bytes({0x77, 0x15}));
    EXPECT_EQ(downloadPlu(8, record72('x')), bytes({0x77, 0x01, 0x00, 0x08, 0x15}));
    EXPECT_EQ(downloadPlu(8, record72('x')), bytes({0x77, 0x01, 0x00, 0x08, 0x15}));
    EXPECT_FALSE(scale.pluRecord(8).has_value());
    EXPECT_EQ(downloadPlu(8, record72('x')), bytes({0x77, 0x01, 0x00, 0x08, 0x10}));
}

TEST_F(ScaleFaultTest, SilenceAtTheNumberStep) {
    withFaults("silence@3:2");
    EXPECT_EQ(upload(3), bytes({0x77, 0x01}));
    EXPECT_EQ(downloadPlu(3, record72('s')), bytes({0x77, 0x01}));
    EXPECT_NE(scale.pluRecord(3), record72('s'));
    EXPECT_EQ(upload(3).size(), 2 + 77);
}

TEST_F(ScaleFaultTest, BrokenUploadReplies) {
    withFaults("endbyte@1,short@2,long@3");
    QByteArray reply = upload(1).mid(2);
    EXPECT_EQ(reply.size(), 77);
    EXPECT_EQ(quint8(reply.at(76)), 0x15);
    EXPECT_EQ(upload(2).size() - 2, 76);
    reply = upload(3).mid(2);
    EXPECT_EQ(reply.size(), 78);
    EXPECT_EQ(reply.left(77), scale.uploadReply(3));
    EXPECT_EQ(upload(4).size() - 2, 77);
}

TEST_F(ScaleFaultTest, ShortAndLongDisplayRecords) {
    withFaults("short,long");
    EXPECT_EQ(send(bytes({0xA5, 0x06})).size(), 1 + 11);
    EXPECT_EQ(send(bytes({0xA5, 0x06})).size(), 1 + 13);
    EXPECT_EQ(send(bytes({0xA5, 0x06})).size(), 1 + 12);
}

TEST_F(ScaleFaultTest, StrayBytesAfterTheSyncOrAfterTheLastAnswer) {
    withFaults("stray,stray@2");
    EXPECT_EQ(send(bytes({0xA5})), bytes({0x77, 0x00}));
    scale.dropFrame();
    EXPECT_EQ(downloadPlu(2, record72('t')), bytes({0x77, 0x01, 0x00, 0x02, 0x10, 0x00}));
    EXPECT_EQ(scale.pluRecord(2), record72('t')); // stored all the same
}

TEST_F(ScaleFaultTest, EveryTimeWithAStar) {
    withFaults("sync:*");
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(send(bytes({0xA5})), bytes({0x78}));
    EXPECT_EQ(scale.pendingFaults().size(), 1);
}

TEST(FaultSpecTest, ParsesKindTargetAndCount) {
    const auto faults = parseFaults(QStringLiteral("sync:2, echo@5 ,silence#3:*,ACK"));
    ASSERT_TRUE(faults);
    ASSERT_EQ(faults->size(), 4);
    EXPECT_EQ((*faults)[0].kind, FaultKind::Sync);
    EXPECT_EQ((*faults)[0].remaining, 2);
    EXPECT_EQ((*faults)[0].target, Fault::Target::Any);
    EXPECT_EQ((*faults)[1].kind, FaultKind::Echo);
    EXPECT_EQ((*faults)[1].target, Fault::Target::Number);
    EXPECT_EQ((*faults)[1].at, 5);
    EXPECT_EQ((*faults)[1].remaining, 1);
    EXPECT_EQ((*faults)[2].target, Fault::Target::Exchange);
    EXPECT_EQ((*faults)[2].remaining, -1);
    EXPECT_EQ((*faults)[3].kind, FaultKind::Ack);
}

TEST(FaultSpecTest, RefusesWhatItCannotMeanWithAReason) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"wobble", "unknown kind"},
        {"sync@3", "before the scale has seen a number"},
        {"command@1", "before the scale has seen a number"},
        {"echo#0", "counted from 1"},
        {"ack:0", "1 or more"},
        {"echo@70000", "0 to 65535"},
        {"echo@", "KIND[@NUMBER|#EXCHANGE][:COUNT]"},
        {"", "KIND"},
        {"sync,", "KIND"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(parseFaults(QString::fromLatin1(c.text), &error)) << c.text;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason)))
            << c.text << ": " << error.toStdString();
    }
}
