#include "app/frmMain.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>

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
        {"StatusPanel", "Status"},
        {"DatePanel", "Date"},
        {"TimePanel", "Time"},
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
    EXPECT_EQ(accessibleText(panel), QStringLiteral("Status"));
    EXPECT_EQ(accessibleText(panel, QAccessible::Description), QStringLiteral("open port1"));
}

} // namespace
