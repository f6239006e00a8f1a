#include "app/frmMain.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(kind) : QStringLiteral("<no interface>");
}

QWidget* named(const frmMain& window, const char* name) {
    QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(Accessibility, ControlsAreNamedByCaptionLabelOrOption) {
    frmMain window;
    window.show();
    const std::pair<const char*, const char*> expected[] = {
        {"optCom1", "Com1"},
        {"optCom2", "Com2"},
        {"optComOther", "Other"},
        {"cboComOther", "Other"},
        {"cmdPortOpen", "Open"},
        {"cmdPortClose", "Close"},
        {"fraPortNo", "Port No"},
        {"fraWindow", "Window"},
        {"txtWeight", "Weight"},
        {"txtUnitPrice", "Unit"},
        {"txtTotalPrice", "Price"},
        {"cmdVFDUpdate", "Update"},
        {"grdPLU", "PLU"},
        {"grdINGRED", "INGRED"},
        {"cmdPLUDownload", "PLU Download"},
        {"optDownOnePLU", "One PLU"},
        {"txtDownOnePluNo", "One PLU"},
        {"optDownMultiplePLU", "Multiple PLU"},
        {"txtDownStartPluNo", "Multiple PLU"},
        {"txtDownEndPluNo", "Multiple PLU To"},
        {"optDownAllPLU", "ALL PLU"},
        {"cmdINGREDDownload", "INGRED Download"},
        {"txtDownOneIngredNo", "One INGRED"},
        {"txtDownStartIngredNo", "Multiple INGRED"},
        {"txtDownEndIngredNo", "Multiple INGRED To"},
        {"optDownAllINGRED", "ALL INGRED"},
        {"cmdPLUUpload", "Upload"},
        {"optUpOnePLU", "One PLU"},
        {"txtUpOnePluNo", "One PLU"},
        {"optUpAllPLU", "All PLU"},
        {"txtFilePath", "Source"},
    };
    for (const auto& [name, accessibleName] : expected)
        EXPECT_EQ(accessibleText(named(window, name)), QString::fromLatin1(accessibleName)) << name;

    auto* combo = window.findChild<QComboBox*>(QStringLiteral("cboComOther"));
    EXPECT_EQ(accessibleText(combo->lineEdit()), QStringLiteral("Other"));

    // No named control is left without an accessible name.
    const QRegularExpression control(QStringLiteral("^(cmd|opt|txt|cbo|grd|fra|lbl|tab)"));
    for (QWidget* widget : window.findChildren<QWidget*>(control)) {
        if (widget->isHidden())
            continue; // the in-place edit boxes while no edit is in progress
        EXPECT_FALSE(accessibleText(widget).trimmed().isEmpty())
            << widget->objectName().toStdString();
    }

    // Text boxes point back at the label beside them.
    for (const char* name : {"txtWeight", "txtUnitPrice", "txtTotalPrice", "txtFilePath",
                             "txtDownEndPluNo", "txtDownEndIngredNo"}) {
        QWidget* box = named(window, name);
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [box](QLabel* label) {
            return label->buddy() == box;
        })) << name;
    }
}

TEST(Accessibility, TabsAndTheStatusTextAreReadable) {
    frmMain window;
    window.show();
    QTabWidget* tabs = window.tabs();
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(accessibleText(tabs->widget(i)), tabs->tabText(i));

    window.showStatus(QStringLiteral("open port1"));
    QWidget* panel = named(window, "StatusPanel");
    EXPECT_EQ(accessibleText(panel), QStringLiteral("Status: open port1"));
    EXPECT_EQ(accessibleText(panel, QAccessible::Description), QStringLiteral("open port1"));
    for (const char* name : {"DatePanel", "TimePanel"}) {
        const QString text = qobject_cast<QLabel*>(named(window, name))->text();
        EXPECT_FALSE(text.isEmpty());
        EXPECT_TRUE(accessibleText(named(window, name)).endsWith(QStringLiteral(": ") + text));
    }
}

// The in-place edit box is in the tree screen readers walk, named by grid, column and row.
TEST(Accessibility, TheInPlaceEditBoxIsReadable) {
    frmMain window;
    window.show();
    window.tabs()->setCurrentIndex(2); // "PLU"
    auto* grid = named(window, "grdPLU");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_1);
    QWidget* box = named(window, "txtEditGrid");
    QTest::keyClick(box, Qt::Key_2);
    ASSERT_TRUE(box->isVisible());
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(window.tabs()->widget(2));
    bool found = false;
    for (int i = 0; i < page->childCount(); ++i)
        found |= page->child(i)->object() == box;
    EXPECT_TRUE(found);
    EXPECT_TRUE(accessibleText(box).startsWith(QStringLiteral("PLU ")))
        << accessibleText(box).toStdString();
    EXPECT_EQ(accessibleText(box, QAccessible::Value), QStringLiteral("12"));
}

// Tab moves through each page's controls in the order the operator has always met them.
TEST(Accessibility, TabOrderOfEachPage) {
    frmMain window;
    window.show();
    const QStringList expected = {
        "optCom1 optCom2 optComOther cboComOther cmdPortOpen cmdPortClose",
        "txtWeight txtUnitPrice txtTotalPrice cmdVFDUpdate",
        "grdPLU txtEditGrid txtFindPLU cmdFindNextPLU",
        "cmdPLUDownload optDownOnePLU optDownMultiplePLU optDownAllPLU txtDownOnePluNo "
        "txtDownStartPluNo txtDownEndPluNo cmdINGREDDownload optDownOneINGRED "
        "optDownMultipleINGRED optDownAllINGRED txtDownOneIngredNo txtDownStartIngredNo "
        "txtDownEndIngredNo chkDownVerifyPLU chkDownBackupPLU chkDownChangedOnly",
        "cmdPLUUpload cmdPLUCompare optUpOnePLU optUpAllPLU txtUpOnePluNo",
        "grdINGRED txtEditGrid1 txtFindINGRED cmdFindNextINGRED",
        "grdScales cmdScaleAdd cmdScaleEdit cmdScaleRemove cmdScalesImport cmdScalesExport "
        "cmdSendPLU cmdSendINGRED chkScalesChangedOnly cmdReadDisplays cmdScalesCompare "
        "cmdScaleCancel cmdScalesCancelAll"};
    ASSERT_EQ(window.tabs()->count(), expected.size());
    for (int i = 0; i < window.tabs()->count(); ++i) {
        QWidget* page = window.tabs()->widget(i);
        QStringList names;
        for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain())
            if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) &&
                !w->objectName().isEmpty())
                names << w->objectName();
        EXPECT_EQ(names.join(QLatin1Char(' ')), expected[i]) << page->objectName().toStdString();
    }
}
} // namespace
