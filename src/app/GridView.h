#pragma once

#include <QLineEdit>
#include <QTableView>

class TextGrid;

// The view of one table's grid (grdPLU, grdINGRED) with its in-place edit box
// (txtEditGrid, txtEditGrid1). Row 0 and column 0 of the grid are its fixed headers.
class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(const QString& gridName, const QString& editBoxName, int rowLimit,
             const QString& rowLimitMessage, QWidget* parent = nullptr);

    // Shows `grid`; column widths follow the header texts' widths in the view's font.
    void setGrid(TextGrid* grid);
    TextGrid* grid() const { return grid_; }
    QLineEdit* editBox() const { return editBox_; }

Q_SIGNALS:
    void statusText(const QString& text); // for the status panel

private:
    void applyColumnWidths();

    TextGrid* grid_ = nullptr;
    QLineEdit* editBox_ = nullptr;
    int rowLimit_;
    QString rowLimitMessage_;
};
