#include "app/WorkbookMenu.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookWriter.h"

#include <QAction>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

namespace {

const QString kImportFilter =
    QStringLiteral("Excel File (*.XLS) (*.XLS *.xls);;ALL File (*.*) (*)");
const QString kExportFilter =
    QStringLiteral(" EXCEL file(*.xls) (*.XLS *.xls);;ALL File (*.*) (*)");

// The four workbook menu items of the window, with the file dialog answered by the test.
class WorkbookMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        FileDialog* dialog = window.findChild<FileDialog*>(QStringLiteral("dlgFile"));
        ASSERT_NE(dialog, nullptr);
        dialog->setChooser([this](FileDialog::Mode mode, const QString& filter,
                                  const QString&) -> std::optional<QString> {
            modes.push_back(mode);
            filters.push_back(filter);
            return answer;
        });
    }

    void trigger(const char* action) {
        QAction* item = window.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }

    QString writeSheet(const QVector<QStringList>& rows) {
        Sheet sheet;
        sheet.name = QStringLiteral("S");
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c)
                sheet.setText(r, c, rows[r][c]);
        }
        const QString path = dir.filePath(QStringLiteral("in.xls"));
        QString error;
        EXPECT_TRUE(saveWorkbook(path, sheet, &error));
        return path;
    }

    QTemporaryDir dir;
    frmMain window;
    std::optional<QString> answer;
    std::deque<FileDialog::Mode> modes;
    std::deque<QString> filters;
};

TEST_F(WorkbookMenu, PluImportReplacesTheTableAndSetsTheSource) {
    answer = writeSheet({{"PLU No", "Item Code"}, {"7", "70"}, {"8", ""}});
    trigger("mnuLxls");
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(modes.front(), FileDialog::Mode::Open);
    EXPECT_EQ(filters.front(), kImportFilter);
    EXPECT_EQ(window.statusText(), QStringLiteral(" Data is End "));
    EXPECT_EQ(window.sourcePath(), *answer);
    EXPECT_EQ(window.pluTable().count, 2);
    EXPECT_EQ(window.pluTable().grid.rows(), 4);
    EXPECT_EQ(window.pluTable().grid.text(2, 2), QStringLiteral("0"));
    EXPECT_EQ(window.pluTable().records[1].ItemCode, 70);
}

TEST_F(WorkbookMenu, CancelledOrFailedImportsLeaveTableAndSource) {
    window.pluTable().grid.setText(1, 1, QStringLiteral("5"));
    trigger("mnuLxls"); // answer: cancel
    EXPECT_EQ(window.statusText(), QStringLiteral("Excel File Ingred Data  "));
    trigger("mnuLxls1");
    EXPECT_EQ(window.statusText(), QStringLiteral("Excel File INGRED Data  "));
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));

    answer = writeSheet({{"Message No"}, {"x"}});
    trigger("mnuLxls1");
    EXPECT_TRUE(window.statusText().endsWith(
        QStringLiteral("sheet row 2, column A: \"x\" is not a number")))
        << window.statusText().toStdString();
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?"));
    EXPECT_EQ(window.ingredTable().grid.rows(), 201);
    EXPECT_EQ(window.pluTable().grid.text(1, 1), QStringLiteral("5"));
}

TEST_F(WorkbookMenu, ExportsWriteTheGridAndCancelWritesNothing) {
    window.ingredTable().grid.setText(1, 1, QStringLiteral("3"));
    window.ingredTable().grid.setText(1, 2, QStringLiteral("Salt"));
    trigger("mnuLxls2"); // cancel
    EXPECT_EQ(window.statusText(), QStringLiteral(" Input File Name "));
    EXPECT_EQ(modes.back(), FileDialog::Mode::Save);
    EXPECT_EQ(filters.back(), kExportFilter);

    answer = dir.filePath(QStringLiteral("out.xls"));
    trigger("mnuLxls2");
    EXPECT_EQ(window.statusText(), QStringLiteral(" Save End"));
    WorkbookRead read = readWorkbookFile(*answer);
    ASSERT_TRUE(read.sheet);
    EXPECT_TRUE(read.sheet->name.startsWith(QStringLiteral("INGRED ")));
    EXPECT_EQ(read.sheet->text(1, 1), QStringLiteral("Salt"));

    trigger("mnuXls");
    EXPECT_EQ(window.statusText(), QStringLiteral(" Save End"));
    read = readWorkbookFile(*answer);
    ASSERT_TRUE(read.sheet);
    EXPECT_TRUE(read.sheet->name.startsWith(QStringLiteral("PLU ")));
    EXPECT_EQ(read.sheet->cells.size(), 9); // the empty PLU table: the header row alone
    EXPECT_EQ(window.sourcePath(), QStringLiteral("?")); // an export is not a source
}

TEST(WorkbookMenuFilter, DescriptionsStayAndPatternsBecomeQtPatterns) {
    EXPECT_EQ(workbookmenu::qtFilter(QStringLiteral("A (*.X) |*.X|B|*.*;*.y")),
              QStringLiteral("A (*.X) (*.X *.x);;B (* *.y)"));
}

} // namespace
