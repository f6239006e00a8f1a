#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "support/WindowOnSimulatedScale.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DisplayUpdate : public WindowOnSimulatedScale {
protected:
    void SetUp() override {
        scale().setDisplay({1234, 1000, 4660});
        WindowOnSimulatedScale::SetUp();
    }

    void clickUpdate() { QTest::mouseClick(button("cmdVFDUpdate"), Qt::LeftButton); }
    QStringList boxes() {
        QStringList texts;
        for (const char* name : {"txtWeight", "txtUnitPrice", "txtTotalPrice"})
            texts << window.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
        return texts;
    }
};

} // namespace

TEST_F(DisplayUpdate, FillsTheThreeBoxesFromTheSimulatedScale) {
    EXPECT_EQ(boxes(), (QStringList{"0", "0", "0"}));
    clickUpdate();
    EXPECT_EQ(boxes(), (QStringList{"1234", "1000", "4660"}));
    EXPECT_EQ(window.statusText(), QStringLiteral("open port sim")); // no text of its own

    scale().setDisplay({0x80000000u, 4294967295u, 7});
    clickUpdate();
    EXPECT_EQ(boxes(), (QStringList{"2147483648", "4294967295", "7"}));
}

TEST_F(DisplayUpdate, AClickWhileAReadRunsIsIgnored) {
    withFault("short"); // keeps the first read waiting for its record
    int clicksDuringWait = 0;
    clock.setOnWait([&](qint64) {
        if (clicksDuringWait++ == 0)
            clickUpdate();
    });
    const int before = scale().exchanges();
    clickUpdate();
    EXPECT_EQ(scale().exchanges() - before, 1); // the second click sent no sync
    EXPECT_EQ(boxes(), (QStringList{"0", "0", "0"}));

    clock.setOnWait(nullptr);
    QTest::mouseClick(button("cmdPortClose"), Qt::LeftButton); // clears the leftover bytes
    QTest::mouseClick(button("cmdPortOpen"), Qt::LeftButton);
    clock.advance(scale::kStandardScale.idleResetMs);
    clickUpdate(); // and the guard is down again
    EXPECT_EQ(boxes(), (QStringList{"1234", "1000", "4660"}));
}

TEST_F(DisplayUpdate, ExitEndsTheWaitAtOnceAndChangesNothing) {
    withFault("short");
    clock.setOnWait([&](qint64) { window.mnuFileExit_Click(); });
    clickUpdate();
    EXPECT_EQ(boxes(), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(clock.waitedMs(), 0);
}

TEST_F(DisplayUpdate, ReplacingThePortDuringTheWaitIsSafe) {
    withFault("short");
    bool replaced = false;
    clock.setOnWait([&](qint64) {
        if (replaced)
            return;
        replaced = true;
        QTest::mouseClick(button("cmdPortClose"), Qt::LeftButton);
        QTest::mouseClick(button("cmdPortOpen"), Qt::LeftButton); // a new link object
    });
    clickUpdate();
    EXPECT_EQ(boxes(), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(clock.waitedMs(), 0);
    ASSERT_NE(window.link(), nullptr);
    EXPECT_TRUE(window.link()->isOpen());
}

TEST_F(DisplayUpdate, ViewLineLogShowsTheReadInAPaneThatSavesAndClears) {
    auto* pane = window.findChild<QDockWidget*>(QStringLiteral("dockLineLog"));
    auto* toggle = window.findChild<QAction*>(QStringLiteral("mnuViewLineLog"));
    auto* view = window.findChild<QPlainTextEdit*>(QStringLiteral("txtLineLog"));
    ASSERT_TRUE(pane && toggle && view);
    EXPECT_TRUE(pane->isHidden());
    toggle->trigger();
    EXPECT_FALSE(pane->isHidden());

    clickUpdate();
    const QString read = QStringLiteral("     0.000 sim sync            >  A5\n"
                                        "     0.000 sim sync            <  77\n"
                                        "     0.000 sim command         >  06\n"
                                        "     0.000 sim reply           <  00 00 04 D2 00 00 03 "
                                        "E8 00 00 12 34");
    EXPECT_EQ(view->toPlainText(), read);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("line.txt"));
    window.findChild<FileDialog*>(QStringLiteral("dlgFile"))
        ->setChooser([&](FileDialog::Mode, const QString&, const QString&) { return path; });
    QTest::mouseClick(button("cmdLineLogSave"), Qt::LeftButton);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), read + QLatin1Char('\n'));
    EXPECT_EQ(window.statusText(), QStringLiteral("Line log saved to ") + path);

    // Another scale's line: the port box shows one port's lines, and Save writes what shows.
    window.lineLog().add({1500,
                          QStringLiteral("COM9"),
                          LineDirection::ToScale,
                          LineStep::Sync,
                          QByteArray("\xA5", 1),
                          {}});
    const QString other = QStringLiteral("     1.500 COM9 sync            >  A5");
    auto* port = window.findChild<QComboBox*>(QStringLiteral("cboLineLogPort"));
    ASSERT_TRUE(port);
    EXPECT_EQ(port->count(), 3); // "All ports", sim, COM9
    EXPECT_EQ(view->toPlainText(), read + QLatin1Char('\n') + other);
    port->setCurrentIndex(port->findText(QStringLiteral("COM9")));
    EXPECT_EQ(view->toPlainText(), other);
    QTest::mouseClick(button("cmdLineLogSave"), Qt::LeftButton);
    saved.close();
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), other + QLatin1Char('\n'));
    port->setCurrentIndex(port->findText(QStringLiteral("sim")));
    EXPECT_EQ(view->toPlainText(), read);

    QTest::mouseClick(button("cmdLineLogClear"), Qt::LeftButton);
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_EQ(port->count(), 1);
    EXPECT_EQ(window.lineLog().size(), 0);
    toggle->trigger();
    EXPECT_TRUE(pane->isHidden());
}
