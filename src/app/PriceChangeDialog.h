#pragma once

#include "tables/PriceChange.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TextGrid;

// "Change Prices...": the operator chooses a percentage or an amount and a rounding, and sees
// every selected row's old and new price before anything changes. "Apply" is enabled only
// while the change is valid for every row shown.
class PriceChangeDialog : public QDialog {
    Q_OBJECT
public:
    // The preview names each row by its PLU No and Item name1.
    PriceChangeDialog(const TextGrid& grid, const QList<int>& rows, int priceColumn,
                      QWidget* parent = nullptr);

    // The roundings offered, in the order of the list: "none", "to 5", ..., "to 99 at the end".
    static QList<QPair<QString, PriceRounding>> roundings();

    // The change as entered, when it is valid for every row.
    std::optional<PriceChange> change() const;
    QVector<PricePreviewRow> preview() const { return preview_; }

    QLineEdit* byBox() const { return txtChangeBy; }
    QComboBox* roundingBox() const { return cboRounding; }
    QTableWidget* previewTable() const { return grdPreview; }
    QPushButton* applyButton() const;
    QString problem() const;

private:
    void updatePreview();

    const TextGrid& grid_;
    QList<int> rows_;
    int priceColumn_;
    std::optional<PriceChange> change_;
    QVector<PricePreviewRow> preview_;

    QRadioButton* optPercent = nullptr;
    QRadioButton* optAmount = nullptr;
    QLineEdit* txtChangeBy = nullptr;
    QComboBox* cboRounding = nullptr;
    QTableWidget* grdPreview = nullptr;
    QLabel* lblProblem = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
