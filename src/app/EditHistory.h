#pragma once

#include "tables/GridEdit.h"

#include <QUndoCommand>
#include <QUndoStack>

class TextGrid;

// The undo stack of one table, and whether its grid holds edits that were not saved.
//
// Every edit the operator makes goes onto the stack. The stack's clean state marks the grid as
// it was last opened, saved or imported: undoing back to it clears the unsaved mark again.
// When the grid is replaced as a whole, the history before it no longer fits the cells and is
// dropped; the command that replaced it says whether the new table is saved anywhere.
class EditHistory : public QUndoStack {
    Q_OBJECT
public:
    explicit EditHistory(TextGrid& grid, QObject* parent = nullptr);

    TextGrid& grid() const { return grid_; }
    bool unsaved() const { return !isClean(); }

    // The grid now matches what was opened, saved or imported; the history stays undoable.
    void markSaved() { setClean(); }
    // The grid holds data that is in no file (a table received from the scale), until a save.
    void markUnsaved() { resetClean(); }

    // Pushes `edit` as one undoable step named `label` (and applies it); an empty edit is
    // dropped.
    void apply(const GridEdit& edit, const QString& label);

private:
    void tableReplaced();

    TextGrid& grid_;
};

// One GridEdit as an undoable step.
class GridEditCommand : public QUndoCommand {
public:
    GridEditCommand(TextGrid& grid, GridEdit edit, const QString& label);
    void redo() override;
    void undo() override;

private:
    TextGrid& grid_;
    GridEdit edit_;
};
