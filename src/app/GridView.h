#pragma once

#include "tables/GridEdit.h"

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QTableView>

class EditHistory;
class TextGrid;
class QAbstractButton;
class QAction;

// The view of one table's grid (grdPLU, grdINGRED) with its in-place edit box
// (txtEditGrid, txtEditGrid1). Row 0 and column 0 of the grid are its fixed headers, so the
// current cell is always a data cell.
//
// The grid is never edited directly: a key typed on it opens the edit box over the current
// cell, and the box's text is written back when the grid gets the focus again or its current
// cell changes. Enter moves on in reading order and grows the grid at the bottom; on the
// row-limit row it reports `rowLimitMessage` and discards the edit.
//
// Beyond typing, the view offers what a spreadsheet does (GridViewCommands.cpp): copy, cut and
// paste of cell blocks as tab-separated text, clearing cells, inserting and deleting rows,
// find, undo and redo. Every change goes through the table's EditHistory as one undoable step.
// The commands are actions of the view: their keys work while the grid has the focus, and the
// window shows them in its Edit menu and the grid's context menu.
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

    // The undo stack the view's edits go to; without one they are applied directly.
    void setHistory(EditHistory* history);
    EditHistory* history() const { return history_; }

    // The grid column of the unit price, which "Change Prices..." works on; 0 for none.
    void setPriceColumn(int column);
    int priceColumn() const { return priceColumn_; }

    // The commands in the order of the Edit menu; null entries stand for separators.
    QList<QAction*> editActions() const;

    // Applies `edit` as one undoable step (a no-op when it is empty).
    void applyEdit(const GridEdit& edit, const QString& label);
    GridLimits limits() const;

    void copySelection();
    void cutSelection();
    // A tab-separated block written from the current cell on; the row-limit message, or a
    // text saying why, when it does not fit.
    void pasteText(const QString& text);
    void pasteClipboard();
    void clearSelection();
    void insertRowAbove();
    void deleteSelectedRows();
    void undo();
    void redo();
    // Moves to the next cell matching `term` (see findCell); says so when there is none.
    bool findNext(const QString& term);
    QString findTerm() const { return findTerm_; }

    // Grid rows with a selected cell, in order; the current row when nothing is selected.
    QList<int> selectedGridRows() const;
    // Selects the cells from (row, col) over `rows` x `cols`, the first one current.
    void selectBlock(int row, int col, int rows, int cols);

Q_SIGNALS:
    void statusText(const QString& text); // for the status panel
    void findRequested();                 // Ctrl+F: the window shows its find bar
    void changePricesRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

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

    void createActions();
    QAction* addCommand(const QString& text, const QString& name, const QList<QKeySequence>& keys,
                        void (GridView::*slot)());
    // The selected cells' bounding block, or the current cell alone: top-left and size.
    QRect selectedBlock() const;
    // The selected cells one by one, or the current cell alone.
    QList<CellPosition> selectedCells() const;

    TextGrid* grid_ = nullptr;
    QLineEdit* editBox_ = nullptr;
    QAbstractButton* corner_ = nullptr;
    GridLimits limits_; // the row that may not be filled, and what is said on it
    bool editing_ = false;
    QPersistentModelIndex editIndex_; // the cell the open edit box belongs to
    QList<QMetaObject::Connection> gridConnections_;

    EditHistory* history_ = nullptr;
    int priceColumn_ = 0;
    QString findTerm_;
    QList<QAction*> editActions_; // in menu order
    QAction* undo_ = nullptr;     // its text names the step it undoes
    QAction* redo_ = nullptr;
    QAction* changePrices_ = nullptr; // shown only for a table with a price column
};
