#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QTableView>

class TextGrid;
class QAbstractButton;

// The view of one table's grid (grdPLU, grdINGRED) with its in-place edit box
// (txtEditGrid, txtEditGrid1). Row 0 and column 0 of the grid are its fixed headers, so the
// current cell is always a data cell.
//
// The grid is never edited directly: a key typed on it opens the edit box over the current
// cell, and the box's text is written back when the grid gets the focus again or its current
// cell changes. Enter moves on in reading order and grows the grid at the bottom; on the
// row-limit row it reports `rowLimitMessage` and discards the edit.
class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(const QString& gridName, const QString& editBoxName, int rowLimit,
             const QString& rowLimitMessage, QWidget* parent = nullptr);
    ~GridView() override; // the edit box may live in the parent: it goes with the view

    // Shows `grid`; column widths follow the header texts' widths in the view's font.
    void setGrid(TextGrid* grid);
    TextGrid* grid() const { return grid_; }
    QLineEdit* editBox() const { return editBox_; }

    bool isEditing() const { return editing_; }
    // Writes the edit box's text into the cell being edited and hides the box; does nothing
    // when no edit is in progress. Commands that read the grid call this first.
    void commitEdit();
    // Hides the edit box; the cell keeps its old text.
    void discardEdit();

Q_SIGNALS:
    void statusText(const QString& text); // for the status panel

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class EditBox;

    // Grid row and column of a model index and back (the model leaves out row 0 and column 0).
    int gridRow(const QModelIndex& index) const { return index.row() + 1; }
    int gridCol(const QModelIndex& index) const { return index.column() + 1; }
    QModelIndex cellIndex(int row, int col) const;

    void applyColumnWidths();
    void ensureCurrentCell();
    void openEditBox(const QString& text);
    void placeEditBox();
    void closeEditBox();
    void dropEditIfCellGone();

    // Enter, Escape and Down arrow in the edit box; false for every other key.
    bool editBoxKeyDown(QKeyEvent* event);
    void enterPressed();
    void addNumberedRows(int count);
    void paintCorner(QAbstractButton* corner);

    TextGrid* grid_ = nullptr;
    QLineEdit* editBox_ = nullptr;
    QAbstractButton* corner_ = nullptr;
    int rowLimit_;
    QString rowLimitMessage_;
    bool editing_ = false;
    QPersistentModelIndex editIndex_; // the cell the open edit box belongs to
    QList<QMetaObject::Connection> gridConnections_;
};
