#pragma once

#include "jobs/ScaleEntry.h"
#include "jobs/ScaleList.h"

#include <QDialog>
#include <QList>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

// "Add..." and "Edit..." on tab "Scales": a scale's name and the port it answers on. OK
// keeps the dialog open, saying why, while the entry cannot be kept.
class ScaleEditDialog : public QDialog {
    Q_OBJECT
public:
    ScaleEditDialog(const ScaleEntry& start, QList<ScaleEntry> others, QWidget* parent);

    ScaleEntry entry() const;
    void accept() override;

    // Shows the dialog and returns at once; `done` gets the entry when OK takes it.
    static void ask(const ScaleEntry& start, const QList<ScaleEntry>& others, QWidget* parent,
                    std::function<void(const ScaleEntry&)> done);

private:
    QList<ScaleEntry> others_;
    QLineEdit* txtScaleName_ = nullptr;
    QComboBox* cboScalePort_ = nullptr;
    QLabel* lblScaleProblem_ = nullptr;
};
