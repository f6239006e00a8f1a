#pragma once

#include <QString>

#include <functional>

class QWidget;

// The question asked before unsaved edits of a table would be lost or bypassed: before New,
// Open, an import, Exit and a download. The three answers mean, in order: save the edits
// first (then go on only if that worked), go on without them, or stop.
struct SavePrompt {
    enum class Answer { Save, Discard, Cancel };

    QString text;           // "Save changes to the PLU table?"
    QString saveCaption;    // "Save"
    QString discardCaption; // "Discard"
};

// Asks the operator; tests put a function here that answers without showing anything.
using PromptFunction = std::function<SavePrompt::Answer(const SavePrompt& prompt)>;

// A message box with the prompt's three buttons; closing it counts as Cancel.
SavePrompt::Answer askWithMessageBox(QWidget* parent, const SavePrompt& prompt);
