#pragma once

#include <QHash>
#include <QString>

// The first worksheet of a workbook as the tables see it: its name and the text form of each
// cell. Rows and columns count from 0 (row 0 is the sheet's row 1, column 0 is column A).
// A cell that is absent reads as the empty text.
struct Sheet {
    QString name;

    QString text(int row, int col) const { return cells.value(key(row, col)); }
    void setText(int row, int col, const QString& text) {
        if (text.isEmpty())
            cells.remove(key(row, col));
        else
            cells.insert(key(row, col), text);
    }
    bool isEmpty() const { return cells.isEmpty(); }

    static quint32 key(int row, int col) { return (quint32(row) << 8) | quint32(col & 0xFF); }
    static int rowOf(quint32 key) { return int(key >> 8); }
    static int colOf(quint32 key) { return int(key & 0xFF); }

    QHash<quint32, QString> cells; // key(row, col) -> text; BIFF has at most 256 columns
};
