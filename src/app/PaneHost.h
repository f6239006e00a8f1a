#pragma once

#include "app/SavePrompt.h"

#include <QString>

class FileDialog;
class QWidget;

// What a table's pane needs of the window around it: the status panel, the "Source" box, the
// question about unsaved edits, the one file dialog, and bringing a tab to the front.
class PaneHost {
public:
    virtual void showStatus(const QString& text) = 0; // each text replaces the one before
    // The file last opened or saved, "?" when there is none.
    virtual QString sourcePath() const = 0;
    virtual void setSourcePath(const QString& path) = 0;
    virtual SavePrompt::Answer askAboutUnsaved(const SavePrompt& prompt) = 0;
    virtual FileDialog& fileDialog() = 0;
    virtual void showPage(QWidget* page) = 0;

protected:
    ~PaneHost() = default;
};
