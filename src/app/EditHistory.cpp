#include "app/EditHistory.h"

#include "tables/TextGrid.h"

EditHistory::EditHistory(TextGrid& grid, QObject* parent) : QUndoStack(parent), grid_(grid) {
    // Edits never reset the model; a reset is always a new table.
    connect(&grid_, &QAbstractItemModel::modelReset, this, &EditHistory::tableReplaced);
}

void EditHistory::apply(const GridEdit& edit, const QString& label) {
    if (!edit.isEmpty())
        push(new GridEditCommand(grid_, edit, label));
}

void EditHistory::tableReplaced() {
    clear();
    setClean(); // clear() leaves an empty stack's clean state as it was
}

GridEditCommand::GridEditCommand(TextGrid& grid, GridEdit edit, const QString& label)
    : QUndoCommand(label), grid_(grid), edit_(std::move(edit)) {}

void GridEditCommand::redo() {
    applyEdit(grid_, edit_);
}

void GridEditCommand::undo() {
    revertEdit(grid_, edit_);
}
