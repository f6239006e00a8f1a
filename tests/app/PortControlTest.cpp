#include "app/PortComboBox.h"
#include "app/StatusBar.h"
#include "app/frmMain.h"
#include "serial/SerialLink.h"

#include "support/PseudoTerminal.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// COM1 and COM2 are pseudo-terminals; the test plays the scale at their master ends.
class PortControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com1.isValid() && com2.isValid());
        window.setPortNames({com1.slavePath(), com2.slavePath()});
    }

    QPushButton* button(const char* name) {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QRadioButton* option(const char* name) {
        return window.findChild<QRadioButton*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // The button states of the port-state table, options included.
    void expectButtons(bool portOpen) {
        EXPECT_EQ(button("cmdPortOpen")->isEnabled(), !portOpen);
        EXPECT_EQ(button("cmdPortClose")->isEnabled(), portOpen);
        for (const char* name :
             {"cmdVFDUpdate", "cmdPLUDownload", "cmdINGREDDownload", "cmdPLUUpload"})
            EXPECT_EQ(button(name)->isEnabled(), portOpen) << name;
        for (const char* name : {"optCom1", "optCom2", "optComOther"})
            EXPECT_EQ(option(name)->isEnabled(), !portOpen) << name;
        EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("cboComOther"))->isEnabled(),
                  !portOpen);
    }

    PseudoTerminal com1;
    PseudoTerminal com2;
    frmMain window;
};

TEST_F(PortControl, OpenAndCloseCom1) {
    click("cmdPortOpen");
    EXPECT_EQ(window.statusText(), QStringLiteral("open port1"));
    expectButtons(true);
    ASSERT_NE(window.link(), nullptr);
    EXPECT_TRUE(window.link()->isOpen());
    EXPECT_EQ(window.link()->name(), QStringLiteral("COM1"));

    // The link reaches the device behind COM1.
    ASSERT_TRUE(window.link()->write("\xA5"));
    EXPECT_EQ(com1.receiveAtFarEnd(1), QByteArray("\xA5"));

    click("cmdPortClose");
    EXPECT_EQ(window.statusText(), QStringLiteral("close port"));
    expectButtons(false);
    EXPECT_FALSE(window.link()->isOpen());
}

TEST_F(PortControl, OpenCom2ShowsItsNumber) {
    option("optCom2")->setChecked(true);
    click("cmdPortOpen");
    EXPECT_EQ(window.statusText(), QStringLiteral("open port2"));
    expectButtons(true);
    EXPECT_EQ(window.link()->name(), QStringLiteral("COM2"));
    ASSERT_TRUE(window.link()->write("2"));
    EXPECT_EQ(com2.receiveAtFarEnd(1), QByteArray("2"));
}

TEST_F(PortControl, SelectTextComesFirstThenTheOpenText) {
    auto* statusBar = qobject_cast<StatusBar*>(window.statusBar());
    ASSERT_NE(statusBar, nullptr);
    QSignalSpy shown(statusBar, &StatusBar::statusTextChanged);
    click("cmdPortOpen");
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0][0].toString(), QStringLiteral("select comport1"));
    EXPECT_EQ(shown[1][0].toString(), QStringLiteral("open port1"));
}

TEST_F(PortControl, CloseOnAClosedPortOnlySaysSo) {
    // "Close" is disabled on a closed port, so the handler is called directly.
    window.cmdPortClose_Click();
    EXPECT_EQ(window.statusText(), QStringLiteral("Port is not opened"));
    expectButtons(false);
}

TEST_F(PortControl, OpenOnAnOpenPortSaysItIsAlreadyOpen) {
    click("cmdPortOpen");
    Link* first = window.link();
    window.cmdPortOpen_Click();
    EXPECT_EQ(window.statusText(), QStringLiteral("Port is already opened"));
    EXPECT_EQ(window.link(), first);
    EXPECT_TRUE(first->isOpen());
    expectButtons(true);
}

TEST_F(PortControl, ReopenAfterCloseUsesTheNewSelection) {
    click("cmdPortOpen");
    click("cmdPortClose");
    option("optCom2")->setChecked(true);
    click("cmdPortOpen");
    EXPECT_EQ(window.statusText(), QStringLiteral("open port2"));
    EXPECT_EQ(window.link()->name(), QStringLiteral("COM2"));
}

TEST_F(PortControl, RefusedOpenShowsTheReasonAndLeavesThePortClosed) {
    window.setPortNames({QStringLiteral("/dev/no-such-scale-port"), com2.slavePath()});
    click("cmdPortOpen");
    EXPECT_TRUE(window.statusText().startsWith(
        QStringLiteral("cannot open port1: /dev/no-such-scale-port: ")))
        << window.statusText().toStdString();
    expectButtons(false);
    EXPECT_FALSE(window.link() && window.link()->isOpen());

    // "Close" then behaves as on any closed port.
    window.cmdPortClose_Click();
    EXPECT_EQ(window.statusText(), QStringLiteral("Port is not opened"));
}

TEST_F(PortControl, OtherOpensADevicePathByName) {
    auto* combo = window.findChild<PortComboBox*>(QStringLiteral("cboComOther"));
    ASSERT_NE(combo, nullptr);
    combo->setEditText(QStringLiteral("  ") + com2.slavePath() + QStringLiteral(" "));
    option("optComOther")->setChecked(true);
    click("cmdPortOpen");
    EXPECT_EQ(window.statusText(), QStringLiteral("open port ") + com2.slavePath());
    expectButtons(true);
    ASSERT_TRUE(window.link()->write("x"));
    EXPECT_EQ(com2.receiveAtFarEnd(1), QByteArray("x"));
}

TEST_F(PortControl, RefusedOtherDeviceIsNamedOnce) {
    window.findChild<PortComboBox*>(QStringLiteral("cboComOther"))
        ->setEditText(QStringLiteral("/dev/no-such-usb-port"));
    option("optComOther")->setChecked(true);
    click("cmdPortOpen");
    const QString text = window.statusText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("cannot open port /dev/no-such-usb-port: ")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("/dev/no-such-usb-port")), 1) << text.toStdString();
    expectButtons(false);
}

TEST_F(PortControl, KeyboardFocusStaysOnThePortButtons) {
    window.show();
    QApplication::setActiveWindow(&window);
    button("cmdPortOpen")->setFocus();
    ASSERT_TRUE(button("cmdPortOpen")->hasFocus());
    QTest::keyClick(button("cmdPortOpen"), Qt::Key_Space);
    EXPECT_EQ(window.statusText(), QStringLiteral("open port1"));
    EXPECT_TRUE(button("cmdPortClose")->hasFocus());
    QTest::keyClick(button("cmdPortClose"), Qt::Key_Space);
    EXPECT_EQ(window.statusText(), QStringLiteral("close port"));
    EXPECT_TRUE(button("cmdPortOpen")->hasFocus());

    // A refused open hands the focus back to "Open" as well.
    window.setPortNames({QStringLiteral("/dev/no-such-scale-port"), com2.slavePath()});
    QTest::keyClick(button("cmdPortOpen"), Qt::Key_Space);
    EXPECT_TRUE(window.statusText().startsWith(QStringLiteral("cannot open port1: ")));
    EXPECT_TRUE(button("cmdPortOpen")->hasFocus());
}

TEST_F(PortControl, TypingBesideOtherSelectsOther) {
    auto* combo = window.findChild<PortComboBox*>(QStringLiteral("cboComOther"));
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_TRUE(option("optComOther")->isChecked());
    EXPECT_EQ(combo->portName(), QStringLiteral("/dev/ttyUSB7"));
}

TEST_F(PortControl, OtherWithoutANameIsRefusedClearly) {
    option("optComOther")->setChecked(true);
    click("cmdPortOpen");
    EXPECT_TRUE(window.statusText().startsWith(QStringLiteral("No port given beside Other")));
    expectButtons(false);
}

// "Open" on a device server returns at once; while the connection is being made only "Close"
// works, and it cancels the attempt. The buttons that need the port follow its real state.
TEST_F(PortControl, OtherConnectsToADeviceServerWhileTheWindowGoesOn) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    window.findChild<PortComboBox*>(QStringLiteral("cboComOther"))->setEditText(address);
    option("optComOther")->setChecked(true);

    for (const bool cancel : {false, true}) {
        click("cmdPortOpen"); // nothing has been connected yet when the handler returns
        EXPECT_EQ(window.statusText(), QStringLiteral("select comport ") + address);
        EXPECT_FALSE(button("cmdPortOpen")->isEnabled());
        EXPECT_TRUE(button("cmdPortClose")->isEnabled());
        for (const char* name : {"cmdVFDUpdate", "cmdPLUDownload", "cmdPLUUpload"})
            EXPECT_FALSE(button(name)->isEnabled()) << name;
        if (cancel) {
            click("cmdPortClose");
            QTRY_COMPARE(window.statusText(), QStringLiteral("cannot open port ") + address +
                                                  QStringLiteral(": connection attempt cancelled"));
            expectButtons(false);
        } else {
            QTRY_COMPARE(window.statusText(), QStringLiteral("open port ") + address);
            expectButtons(true);
            click("cmdPortClose");
            EXPECT_EQ(window.statusText(), QStringLiteral("close port"));
        }
    }
}

TEST_F(PortControl, ALostLineClosesThePortAndSaysWhy) {
    click("cmdPortOpen");
    QSignalSpy failed(window.link(), &Link::failed);
    com1.closeMaster();
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_TRUE(window.statusText().startsWith(QStringLiteral("lost port1: ")))
        << window.statusText().toStdString();
    expectButtons(false);
    window.cmdPortClose_Click();
    EXPECT_EQ(window.statusText(), QStringLiteral("Port is not opened"));
}

TEST(PortComboBoxEntries, AListedEntryGivesItsDeviceOnly) {
    PortComboBox combo;
    combo.addItem(QStringLiteral("/dev/ttyUSB0  (USB serial)"), QStringLiteral("/dev/ttyUSB0"));
    combo.setEditText(QStringLiteral("/dev/ttyUSB0  (USB serial)"));
    EXPECT_EQ(combo.portName(), QStringLiteral("/dev/ttyUSB0"));
    combo.setEditText(QStringLiteral("tcp://10.0.0.5:4001"));
    EXPECT_EQ(combo.portName(), QStringLiteral("tcp://10.0.0.5:4001"));
}

} // namespace
