#pragma once

#include "jobs/PluCompare.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QTableWidget;

// The differences between the PLU table and the scale, one row each, the table's value
// beside the scale's; "Save..." writes them as a .csv file.
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    // `choosePath` asks where to save (the window's file dialog); nothing when cancelled.
    CompareDialog(QWidget* parent, std::function<std::optional<QString>()> choosePath);

    void show(const QString& port, const QList<PluDifference>& differences);
    const QList<PluDifference>& differences() const { return differences_; }

Q_SIGNALS:
    void statusText(const QString& text);

private:
    void save();

    std::function<std::optional<QString>()> choosePath_;
    QList<PluDifference> differences_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
};
