#pragma once

#include "spreadsheet/Sheet.h"
#include "spreadsheet/WorkbookWriter.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Row 1 of a PLU workbook as the export writes it and the import reads it, blanks included.
inline const QStringList kPluHeader = {"PLU No",
                                       "Item Code",
                                       "           Item Name1           ",
                                       "           Item Name2           ",
                                       "U/Price",
                                       "Valid Date",
                                       "Tare",
                                       "G Code",
                                       "Message No"};

// Writes sheets into a temporary folder and collects status texts.
struct WorkbookFixture : ::testing::Test {
    QTemporaryDir dir;
    QStringList statuses;

    std::function<void(const QString&)> sink() {
        return [this](const QString& text) { statuses.append(text); };
    }

    QString write(const Sheet& sheet, const QString& name = QStringLiteral("in.xls")) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(saveWorkbook(path, sheet, &error)) << error.toStdString();
        return path;
    }

    // A sheet with `header` in row 1 and `rows` below it, columns from A.
    static Sheet sheetOf(const QStringList& header, const QVector<QStringList>& rows) {
        Sheet sheet;
        sheet.name = QStringLiteral("Sheet1");
        for (int c = 0; c < header.size(); ++c)
            sheet.setText(0, c, header[c]);
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c)
                sheet.setText(r + 1, c, rows[r][c]);
        }
        return sheet;
    }
};
