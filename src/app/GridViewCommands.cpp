#include "app/EditHistory.h"
#include "app/GridView.h"
#include "tables/CellBlockText.h"
#include "tables/GridSearch.h"
#include "tables/ShownText.h"
#include "tables/TextGrid.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>

#include <algorithm>

// The spreadsheet-like commands of a grid view: clipboard, clearing, rows, find, undo.

QAction* GridView::addCommand(const QString& text, const QString& name,
                              const QList<QKeySequence>& keys, void (GridView::*slot)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcuts(keys);
    // The keys belong to the grid: in the edit box, Ctrl+C and Delete edit the box's text.
    action->setShortcutContext(Qt::WidgetShortcut);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

void GridView::createActions() {
    const QString prefix = objectName();
    undo_ = addCommand(QStringLiteral("Undo"), prefix + QStringLiteral("Undo"),
                       {QKeySequence::Undo}, &GridView::undo);
    // Ctrl+Y everywhere, besides what the platform calls Redo (Ctrl+Shift+Z on some).
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Y));
    redo_ = addCommand(QStringLiteral("Redo"), prefix + QStringLiteral("Redo"), redoKeys,
                       &GridView::redo);
    QAction* cut = addCommand(QStringLiteral("Cut"), prefix + QStringLiteral("Cut"),
                              {QKeySequence::Cut}, &GridView::cutSelection);
    QAction* copy = addCommand(QStringLiteral("Copy"), prefix + QStringLiteral("Copy"),
                               {QKeySequence::Copy}, &GridView::copySelection);
    QAction* paste = addCommand(QStringLiteral("Paste"), prefix + QStringLiteral("Paste"),
                                {QKeySequence::Paste}, &GridView::pasteClipboard);
    QAction* clear = addCommand(QStringLiteral("Clear Cells"), prefix + QStringLiteral("Clear"),
                                {QKeySequence(Qt::Key_Delete)}, &GridView::clearSelection);
    QAction* insertRow = addCommand(
        QStringLiteral("Insert Row Above"), prefix + QStringLiteral("InsertRow"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)},
        &GridView::insertRowAbove);
    QAction* deleteRows =
        addCommand(QStringLiteral("Delete Rows"), prefix + QStringLiteral("DeleteRows"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &GridView::deleteSelectedRows);
    QAction* find = addCommand(QStringLiteral("Find..."), prefix + QStringLiteral("Find"),
                               {QKeySequence::Find}, &GridView::findRequested);
    QAction* findAgain =
        addCommand(QStringLiteral("Find Next"), prefix + QStringLiteral("FindNext"),
                   {QKeySequence(Qt::Key_F3)}, nullptr);
    connect(findAgain, &QAction::triggered, this, [this] {
        if (findTerm_.isEmpty())
            Q_EMIT findRequested();
        else
            findNext(findTerm_);
    });
    changePrices_ =
        addCommand(QStringLiteral("Change Prices..."), prefix + QStringLiteral("ChangePrices"), {},
                   &GridView::changePricesRequested);
    changePrices_->setVisible(false);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    // nullptr: a separator in the menus that show these.
    editActions_ = {undo_,     redo_,      nullptr, cut,  copy,      paste,   clear,        nullptr,
                    insertRow, deleteRows, nullptr, find, findAgain, nullptr, changePrices_};
}

QList<QAction*> GridView::editActions() const {
    return editActions_;
}

void GridView::setHistory(EditHistory* history) {
    if (history_)
        disconnect(history_, nullptr, this, nullptr);
    history_ = history;
    if (!history_)
        return;
    const auto follow = [this] {
        undo_->setEnabled(history_->canUndo());
        undo_->setText(history_->canUndo() ? QStringLiteral("Undo ") + history_->undoText()
                                           : QStringLiteral("Undo"));
        redo_->setEnabled(history_->canRedo());
        redo_->setText(history_->canRedo() ? QStringLiteral("Redo ") + history_->redoText()
                                           : QStringLiteral("Redo"));
    };
    connect(history_, &QUndoStack::indexChanged, this, follow);
    connect(history_, &QUndoStack::cleanChanged, this, follow);
    follow();
}

void GridView::setPriceColumn(int column) {
    priceColumn_ = column;
    changePrices_->setVisible(column > 0);
}

GridLimits GridView::limits() const {
    return limits_;
}

void GridView::applyEdit(const GridEdit& edit, const QString& label) {
    if (edit.isEmpty() || !grid_)
        return;
    // The history belongs to one table; while the view shows another (an upload filling a
    // table of its own), edits go to the shown grid directly.
    if (history_ && &history_->grid() == grid_)
        history_->apply(edit, label);
    else
        ::applyEdit(*grid_, edit);
}

QRect GridView::selectedBlock() const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty()) {
        const QModelIndex current = currentIndex();
        return current.isValid() ? QRect(gridCol(current), gridRow(current), 1, 1) : QRect();
    }
    QRect block;
    for (const QModelIndex& index : selected)
        block |= QRect(gridCol(index), gridRow(index), 1, 1);
    return block; // x: column, y: row
}

void GridView::copySelection() {
    commitEdit();
    const QRect block = selectedBlock();
    if (!grid_ || block.isEmpty())
        return;
    CellBlock cells;
    for (int row = block.top(); row <= block.bottom(); ++row) {
        QStringList texts;
        for (int col = block.left(); col <= block.right(); ++col)
            texts << grid_->text(row, col);
        cells << texts;
    }
    QGuiApplication::clipboard()->setText(formatCellBlock(cells));
}

QList<CellPosition> GridView::selectedCells() const {
    QList<CellPosition> cells;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        cells.append({gridRow(index), gridCol(index)});
    if (cells.isEmpty() && currentIndex().isValid())
        cells.append({gridRow(currentIndex()), gridCol(currentIndex())});
    return cells;
}

void GridView::cutSelection() {
    copySelection();
    if (!grid_)
        return;
    applyEdit(clearEdit(*grid_, selectedCells()), QStringLiteral("Cut"));
}

void GridView::clearSelection() {
    commitEdit();
    if (!grid_)
        return;
    applyEdit(clearEdit(*grid_, selectedCells()), QStringLiteral("Delete"));
}

void GridView::pasteClipboard() {
    pasteText(QGuiApplication::clipboard()->text());
}

void GridView::pasteText(const QString& text) {
    commitEdit();
    if (!grid_)
        return;
    ensureCurrentCell();
    const QModelIndex current = currentIndex();
    const CellBlock block = parseCellBlock(text);
    if (!current.isValid() || block.isEmpty())
        return;
    const int row = gridRow(current);
    const int col = gridCol(current);
    const GridEditResult pasted = pasteEdit(*grid_, row, col, block, limits());
    if (!pasted.ok()) {
        Q_EMIT statusText(pasted.error);
        return;
    }
    applyEdit(pasted.edit, QStringLiteral("Paste"));
    selectBlock(row, col, int(block.size()), int(block.first().size()));
}

void GridView::insertRowAbove() {
    commitEdit();
    if (!grid_)
        return;
    ensureCurrentCell();
    const QList<int> rows = selectedGridRows();
    if (rows.isEmpty())
        return;
    // As many rows as are selected, above the first of them.
    const GridEditResult inserted =
        insertRowsEdit(*grid_, rows.first(), int(rows.size()), limits());
    if (!inserted.ok()) {
        Q_EMIT statusText(inserted.error);
        return;
    }
    applyEdit(inserted.edit, QStringLiteral("Insert Row"));
    selectBlock(rows.first(), 1, int(rows.size()), grid_->cols() - 1);
}

void GridView::deleteSelectedRows() {
    commitEdit();
    if (!grid_)
        return;
    const QList<int> rows = selectedGridRows();
    if (rows.isEmpty())
        return;
    applyEdit(removeRowsEdit(*grid_, rows), QStringLiteral("Delete Rows"));
    selectBlock(rows.first(), 1, 1, grid_->cols() - 1);
}

void GridView::undo() {
    // Undo while typing drops what was typed, the newest change of all.
    if (isEditing()) {
        discardEdit();
        return;
    }
    if (history_ && &history_->grid() == grid_)
        history_->undo();
}

void GridView::redo() {
    commitEdit();
    if (history_ && &history_->grid() == grid_)
        history_->redo();
}

bool GridView::findNext(const QString& term) {
    commitEdit();
    if (!grid_ || term.trimmed().isEmpty())
        return false;
    findTerm_ = term;
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? gridRow(current) : grid_->rows() - 1;
    const int col = current.isValid() ? gridCol(current) : grid_->cols() - 1;
    const std::optional<CellPosition> found = findCell(*grid_, term, row, col);
    if (!found) {
        Q_EMIT statusText(QStringLiteral("Not found: \"%1\"").arg(shownText(term.trimmed())));
        return false;
    }
    selectBlock(found->row, found->col, 1, 1);
    return true;
}

QList<int> GridView::selectedGridRows() const {
    QList<int> rows;
    if (selectionModel())
        for (const QModelIndex& index : selectionModel()->selectedIndexes())
            rows.append(gridRow(index));
    if (rows.isEmpty() && currentIndex().isValid())
        rows.append(gridRow(currentIndex()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void GridView::selectBlock(int row, int col, int rows, int cols) {
    if (!grid_)
        return;
    const QModelIndex first = cellIndex(row, col);
    setCurrentIndex(first);
    const QItemSelection block(first, cellIndex(row + rows - 1, col + cols - 1));
    selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
}

void GridView::contextMenuEvent(QContextMenuEvent* event) {
    // A right click on a cell outside the selection selects that cell first, as in a
    // spreadsheet, so the commands work on what was clicked.
    const QModelIndex clicked = indexAt(event->pos()); // the viewport's coordinates
    if (clicked.isValid() && !selectionModel()->isSelected(clicked))
        setCurrentIndex(clicked);
    QMenu menu(this);
    for (QAction* action : editActions()) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    menu.exec(event->globalPos());
}
