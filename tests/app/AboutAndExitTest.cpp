#include "app/AppInfo.h"
#include "app/frmMain.h"

#include "support/PseudoTerminal.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct AboutSeen {
    QDialog* dialog = nullptr;
    QString title;
    QString text;
    bool modal = false;
};

// Arms a click on "OK" of the modal window that "About" is about to show.
void answerAboutWithOk(AboutSeen* seen) {
    QTimer::singleShot(0, [seen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen->dialog = dialog;
        seen->title = dialog->windowTitle();
        seen->modal = dialog->isModal() && dialog->isVisible();
        seen->text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
}

TEST(AboutWindow, ShownModallyHiddenByOkAndShownAgain) {
    frmMain window;
    window.show();
    QAction* about = window.findChild<QAction*>(QStringLiteral("mnuAbout"));
    ASSERT_NE(about, nullptr);

    AboutSeen first;
    answerAboutWithOk(&first);
    about->trigger(); // returns once "OK" hid the window
    ASSERT_NE(first.dialog, nullptr);
    EXPECT_EQ(first.dialog->objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(first.title, QStringLiteral("About"));
    EXPECT_TRUE(first.modal);
    EXPECT_FALSE(first.dialog->isVisible());
    const QStringList lines = first.text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("ScaleDesk"));
    EXPECT_TRUE(lines[1].contains(appinfo::version()));
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_EQ(lines[4], QStringLiteral("ScaleDesk is licensed under the Apache License 2.0."));
    EXPECT_TRUE(lines[5].contains(QStringLiteral("Qt 6 (LGPL-3.0)")));
    EXPECT_TRUE(lines.last().contains(QStringLiteral("copyright"))) << lines.last().toStdString();
    EXPECT_TRUE(first.dialog->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->isReadOnly());

    AboutSeen second;
    answerAboutWithOk(&second);
    about->trigger();
    EXPECT_EQ(second.dialog, first.dialog); // the same window, shown again
    EXPECT_TRUE(second.modal);
    EXPECT_FALSE(second.dialog->isVisible());
    EXPECT_EQ(window.statusText(), QStringLiteral("Message Count is 0"));
}

TEST(ExitMenus, BothExitItemsEndTheProgramWithoutAQuestion) {
    frmMain window;
    int exits = 0;
    int announced = 0;
    window.setExitFunction([&] { ++exits; });
    QObject::connect(&window, &frmMain::exitRequested, [&] { ++announced; });
    window.findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
    EXPECT_EQ(exits, 1);
    window.findChild<QAction*>(QStringLiteral("mnuFileExit1"))->trigger();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(announced, 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ExitMenus, ExitEndsTheEventLoopWhileThePortIsOpen) {
    PseudoTerminal com1;
    ASSERT_TRUE(com1.isValid());
    frmMain window;
    window.setPortNames({com1.slavePath(), com1.slavePath()});
    window.show();
    window.cmdPortOpen_Click();
    ASSERT_TRUE(window.link() && window.link()->isOpen());

    QTimer::singleShot(
        0, &window, [&] { window.findChild<QAction*>(QStringLiteral("mnuFileExit1"))->trigger(); });
    // A safety net so a broken Exit fails the test instead of hanging it.
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
}

} // namespace
