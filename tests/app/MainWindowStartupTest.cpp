#include "app/GridView.h"
#include "app/frmMain.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

template <typename W> W* child(const QWidget& window, const char* name) {
    W* widget = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class MainWindowStartup : public ::testing::Test {
protected:
    frmMain window;
};

TEST_F(MainWindowStartup, WindowTabsAndStatus) {
    EXPECT_EQ(window.objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ScaleDesk"));

    auto* tabs = child<QTabWidget>(window, "SSTab");
    ASSERT_NE(tabs, nullptr);
    const QStringList captions{"Port", "Display", "PLU", "Download", "Upload", "INGRED", "Scales"};
    ASSERT_EQ(tabs->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]) << i;
    EXPECT_TRUE(tabs->isEnabled());
    EXPECT_EQ(window.tabs(), tabs);

    // The status panel carries the second count text; it replaced the first.
    EXPECT_EQ(window.statusText(), QStringLiteral("Message Count is 0"));
    auto* statusBar = child<QStatusBar>(window, "StatusBar");
    ASSERT_NE(statusBar, nullptr);
    EXPECT_EQ(window.statusBar(), statusBar);
    EXPECT_EQ(child<QLabel>(window, "StatusPanel")->text(), QStringLiteral("Message Count is 0"));
    EXPECT_FALSE(child<QLabel>(window, "DatePanel")->text().isEmpty());
    EXPECT_FALSE(child<QLabel>(window, "TimePanel")->text().isEmpty());

    auto* source = child<QLineEdit>(window, "txtFilePath");
    EXPECT_EQ(source->text(), QStringLiteral("?"));
    EXPECT_TRUE(source->isReadOnly());
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));
    EXPECT_EQ(child<QLabel>(window, "lblSource")->text(), QStringLiteral("Source"));

    window.showStatus(QStringLiteral(" THE END "));
    EXPECT_EQ(window.statusText(), QStringLiteral(" THE END ")); // blanks kept
    window.setSourcePath(QStringLiteral("/tmp/shop.plu"));
    EXPECT_EQ(source->text(), QStringLiteral("/tmp/shop.plu"));
}

TEST_F(MainWindowStartup, PortTabIsClosedWithCom1Selected) {
    EXPECT_EQ(child<QGroupBox>(window, "fraPortNo")->title(), QStringLiteral("Port No"));
    auto* com1 = child<QRadioButton>(window, "optCom1");
    auto* com2 = child<QRadioButton>(window, "optCom2");
    auto* other = child<QRadioButton>(window, "optComOther");
    EXPECT_EQ(com1->text(), QStringLiteral("Com1"));
    EXPECT_EQ(com2->text(), QStringLiteral("Com2"));
    EXPECT_EQ(other->text(), QStringLiteral("Other"));
    EXPECT_TRUE(com1->isChecked());
    EXPECT_FALSE(com2->isChecked());
    EXPECT_FALSE(other->isChecked());

    auto* open = child<QPushButton>(window, "cmdPortOpen");
    auto* close = child<QPushButton>(window, "cmdPortClose");
    EXPECT_EQ(open->text(), QStringLiteral("Open"));
    EXPECT_EQ(close->text(), QStringLiteral("Close"));
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(close->isEnabled());
    for (const char* name : {"cmdVFDUpdate", "cmdPLUDownload", "cmdINGREDDownload", "cmdPLUUpload"})
        EXPECT_FALSE(child<QPushButton>(window, name)->isEnabled()) << name;
    EXPECT_EQ(window.link(), nullptr);
}

TEST_F(MainWindowStartup, DisplayTabReadOutsShowZero) {
    EXPECT_EQ(child<QGroupBox>(window, "fraWindow")->title(), QStringLiteral("Window"));
    const std::pair<const char*, const char*> readouts[] = {
        {"txtWeight", "Weight"}, {"txtUnitPrice", "Unit"}, {"txtTotalPrice", "Price"}};
    for (const auto& [name, caption] : readouts) {
        auto* box = child<QLineEdit>(window, name);
        EXPECT_EQ(box->text(), QStringLiteral("0")) << name;
        // The label beside the box carries the caption and points at the box.
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        const bool labelled = std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
            return label->buddy() == box && label->text() == QString::fromLatin1(caption);
        });
        EXPECT_TRUE(labelled) << name;
    }
    EXPECT_EQ(child<QPushButton>(window, "cmdVFDUpdate")->text(), QStringLiteral("Update"));
}

TEST_F(MainWindowStartup, DownloadAndUploadOptionsHoldTheirFirstValues) {
    EXPECT_EQ(child<QPushButton>(window, "cmdPLUDownload")->text(),
              QStringLiteral(" PLU Download"));
    EXPECT_EQ(child<QPushButton>(window, "cmdINGREDDownload")->text(),
              QStringLiteral("INGRED Download"));
    EXPECT_EQ(child<QPushButton>(window, "cmdPLUUpload")->text(), QStringLiteral("Upload"));

    struct Option {
        const char* name;
        const char* caption;
        bool checked;
        const char* frame;
    };
    const Option options[] = {
        {"optDownOnePLU", "One PLU", true, "PLU Download Option"},
        {"optDownMultiplePLU", "Multiple PLU", false, "PLU Download Option"},
        {"optDownAllPLU", "ALL PLU", false, "PLU Download Option"},
        {"optDownOneINGRED", "One INGRED", true, "INGRED Download Option"},
        {"optDownMultipleINGRED", "Multiple INGRED", false, "INGRED Download Option"},
        {"optDownAllINGRED", "ALL INGRED", false, "INGRED Download Option"},
        {"optUpOnePLU", "One PLU", true, "Upload Option"},
        {"optUpAllPLU", "All PLU", false, "Upload Option"},
    };
    for (const Option& o : options) {
        auto* option = child<QRadioButton>(window, o.name);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->text(), QString::fromLatin1(o.caption)) << o.name;
        EXPECT_EQ(option->isChecked(), o.checked) << o.name;
        auto* frame = qobject_cast<QGroupBox*>(option->parentWidget());
        ASSERT_NE(frame, nullptr) << o.name;
        EXPECT_EQ(frame->title(), QString::fromLatin1(o.frame)) << o.name;
    }

    const std::pair<const char*, const char*> boxes[] = {
        {"txtDownOnePluNo", "1"},    {"txtDownStartPluNo", "1"},    {"txtDownEndPluNo", "2"},
        {"txtDownOneIngredNo", "1"}, {"txtDownStartIngredNo", "1"}, {"txtDownEndIngredNo", "2"},
        {"txtUpOnePluNo", "1"}};
    for (const auto& [name, text] : boxes)
        EXPECT_EQ(child<QLineEdit>(window, name)->text(), QString::fromLatin1(text)) << name;

    // Each number box sits on the line of its option.
    window.show();
    auto sameLine = [&](const char* option, const char* box) {
        QWidget* o = child<QWidget>(window, option);
        QWidget* b = child<QWidget>(window, box);
        for (int i = 0; i < window.tabs()->count(); ++i) {
            if (window.tabs()->widget(i)->isAncestorOf(o))
                window.tabs()->setCurrentIndex(i);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return o->parentWidget() == b->parentWidget() &&
               qAbs(o->geometry().center().y() - b->geometry().center().y()) < o->height() &&
               b->geometry().left() > o->geometry().left();
    };
    EXPECT_TRUE(sameLine("optDownOnePLU", "txtDownOnePluNo"));
    EXPECT_TRUE(sameLine("optDownMultiplePLU", "txtDownStartPluNo"));
    EXPECT_TRUE(sameLine("optDownMultiplePLU", "txtDownEndPluNo"));
    EXPECT_TRUE(sameLine("optDownMultipleINGRED", "txtDownEndIngredNo"));
    EXPECT_TRUE(sameLine("optUpOnePLU", "txtUpOnePluNo"));
}

template <typename TableT> void expectFreshGrid(GridView* view, TableT& table, int rows, int cols) {
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->grid(), &table.grid);
    EXPECT_EQ(table.grid.rows(), rows);
    EXPECT_EQ(table.grid.cols(), cols);
    EXPECT_EQ(view->model()->rowCount(), rows - 1); // row 0 is the header
    EXPECT_EQ(view->model()->columnCount(), cols - 1);
    for (int r = 1; r < rows; ++r) {
        ASSERT_EQ(table.grid.text(r, 0), QString::number(r));
        ASSERT_EQ(view->model()->headerData(r - 1, Qt::Vertical, Qt::DisplayRole).toString(),
                  QString::number(r));
        for (int c = 1; c < cols; ++c)
            ASSERT_TRUE(table.grid.text(r, c).isEmpty()) << r << "," << c;
    }
    EXPECT_EQ(table.count, 0);
    EXPECT_TRUE(view->editBox()->isHidden());
}

TEST_F(MainWindowStartup, BothTablesStandEmptyInTheirGrids) {
    auto* plu = child<GridView>(window, "grdPLU");
    auto* ingred = child<GridView>(window, "grdINGRED");
    expectFreshGrid(plu, window.pluTable(), 601, 10);
    expectFreshGrid(ingred, window.ingredTable(), 201, 6);
    EXPECT_EQ(plu->editBox()->objectName(), QStringLiteral("txtEditGrid"));
    EXPECT_EQ(ingred->editBox()->objectName(), QStringLiteral("txtEditGrid1"));
    EXPECT_EQ(plu->model()->headerData(8, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Message No"));
    EXPECT_EQ(ingred->model()->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString().trimmed(),
              QStringLiteral("Message4"));
    EXPECT_EQ(window.pluTable().records[600], PluRecord{});
    EXPECT_EQ(window.ingredTable().records[200], IngredRecord{});

    // Each grid is on its own tab.
    QTabWidget* tabs = window.tabs();
    EXPECT_TRUE(tabs->widget(2)->isAncestorOf(plu));
    EXPECT_TRUE(tabs->widget(5)->isAncestorOf(ingred));
}

TEST_F(MainWindowStartup, RowLimitTextOfAGridReachesTheStatusPanel) {
    auto* plu = child<GridView>(window, "grdPLU");
    Q_EMIT plu->statusText(QStringLiteral(" Error ! PLU No is over "));
    EXPECT_EQ(window.statusText(), QStringLiteral(" Error ! PLU No is over "));
    auto* ingred = child<GridView>(window, "grdINGRED");
    Q_EMIT ingred->statusText(QStringLiteral(" Error ! Message No is over "));
    EXPECT_EQ(window.statusText(), QStringLiteral(" Error ! Message No is over "));
}

} // namespace
