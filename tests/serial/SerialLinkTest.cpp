#include "serial/SerialLink.h"

#include "serial/Clock.h"
#include "serial/Wire.h"
#include "support/PseudoTerminal.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class SerialLinkOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.isValid()); }
    PseudoTerminal pty;
};

TEST_F(SerialLinkOnPty, OpensAPseudoTerminalAndCarriesBytesBothWays) {
    SerialLink link(QStringLiteral("COM1"), pty.slavePath());
    EXPECT_EQ(link.name(), QStringLiteral("COM1"));
    ASSERT_TRUE(async::waitFor(link.open())) << link.errorString().toStdString();
    EXPECT_TRUE(link.isOpen());

    // Every byte value, zero and the terminal control characters included, passes unchanged.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    ASSERT_TRUE(link.write(all));
    EXPECT_EQ(pty.receiveAtFarEnd(all.size()), all);

    QSignalSpy readyRead(&link, &Link::readyRead);
    ASSERT_TRUE(pty.sendFromFarEnd(QByteArray("\xA5\x00\x77", 3)));
    ASSERT_TRUE(readyRead.wait(5000));
    EXPECT_EQ(link.bytesWaiting(), 3);
    EXPECT_EQ(link.takeAll(), QByteArray("\xA5\x00\x77", 3));
    EXPECT_EQ(link.bytesWaiting(), 0);

    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("x"));
    EXPECT_EQ(link.bytesWaiting(), 0);
}

TEST_F(SerialLinkOnPty, ReopenDiscardsWhatArrivedWhileClosedAndWhatWasHeld) {
    SerialLink link(QStringLiteral("COM2"), pty.slavePath());
    ASSERT_TRUE(async::waitFor(link.open()));
    link.close();

    ASSERT_TRUE(pty.sendFromFarEnd("stale"));
    ASSERT_TRUE(pty.slaveHasInput(5000)); // the bytes sit in the system's buffer now

    ASSERT_TRUE(async::waitFor(link.open()));
    EXPECT_EQ(link.bytesWaiting(), 0);
    EXPECT_FALSE(pty.slaveHasInput(0));

    QSignalSpy readyRead(&link, &Link::readyRead);
    ASSERT_TRUE(pty.sendFromFarEnd("new"));
    ASSERT_TRUE(readyRead.wait(5000));
    EXPECT_EQ(link.takeAll(), QByteArray("new"));

    // Stray bytes from a failed step never pass for the next answer: after the wire's reopen
    // neither Qt's buffer nor the system's holds any of them.
    RealClock clock;
    Wire wire(link, clock);
    ASSERT_TRUE(pty.sendFromFarEnd("read by Qt"));
    ASSERT_TRUE(readyRead.wait(5000));
    ASSERT_GT(link.bytesWaiting(), 0);
    ASSERT_TRUE(pty.sendFromFarEnd("still in the system")); // no event processed since
    ASSERT_EQ(async::waitFor(wire.reopen()), WireStatus::Ok);
    EXPECT_EQ(link.bytesWaiting(), 0);
    ASSERT_TRUE(pty.sendFromFarEnd(QByteArray(1, char(0x77))));
    const Received<quint8> answer = async::waitFor(wire.RxByte());
    EXPECT_EQ(answer.status, WireStatus::Ok);
    EXPECT_EQ(answer.value, 0x77);
}

TEST_F(SerialLinkOnPty, HangUpOfTheLineFailsTheLink) {
    SerialLink link(QStringLiteral("COM1"), pty.slavePath());
    ASSERT_TRUE(async::waitFor(link.open()));
    QSignalSpy failed(&link, &Link::failed);
    pty.closeMaster();
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_FALSE(link.isOpen());
    // The status texts name the port; the reason says what happened, in plain words.
    const QString reason = failed.first().first().toString();
    EXPECT_TRUE(reason.startsWith(QStringLiteral("the device was removed or stopped answering (")))
        << reason.toStdString();
    EXPECT_FALSE(reason.contains(pty.slavePath())) << reason.toStdString();
    EXPECT_FALSE(link.write("x"));
}

TEST(SerialLinkOpenFailure, MissingDeviceSaysWhichAndWhy) {
    SerialLink link(QStringLiteral("COM1"), QStringLiteral("/dev/no-such-scale-port"));
    EXPECT_FALSE(async::waitFor(link.open()));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(link.errorString().startsWith(QStringLiteral("/dev/no-such-scale-port: ")))
        << link.errorString().toStdString();
    EXPECT_FALSE(link.write("x"));
}

TEST(SerialLinkOpenFailure, PermissionTextsTellDeniedAccessFromABusyPort) {
    const QString denied =
        serialOpenErrorText(QSerialPort::PermissionError, QStringLiteral("/dev/ttyS0"),
                            QStringLiteral("Permission denied"), true);
    EXPECT_TRUE(denied.startsWith(QStringLiteral("/dev/ttyS0: Permission denied")));
#ifdef Q_OS_LINUX
    EXPECT_TRUE(denied.contains(QStringLiteral("dialout")));
#endif
    const QString busy =
        serialOpenErrorText(QSerialPort::PermissionError, QStringLiteral("/dev/ttyS0"),
                            QStringLiteral("Device busy"), false);
    EXPECT_FALSE(busy.contains(QStringLiteral("dialout")));
    EXPECT_TRUE(busy.contains(QStringLiteral("another program")));

    EXPECT_EQ(serialOpenErrorText(QSerialPort::DeviceNotFoundError, QStringLiteral("COM7"),
                                  QStringLiteral("No such file or directory"), false),
              QStringLiteral("COM7: No such file or directory"));
}

} // namespace
