#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

// A grid of cell texts addressed like the operator sees it: row 0 is the fixed header row,
// column 0 the fixed row-number column, rows 1.. and columns 1.. hold data. Every cell is a
// string; an empty string means the field has no value.
//
// As a Qt model it exposes only the data cells (model row r-1, column c-1); row 0 becomes the
// horizontal header, column 0 the vertical header, and cell (0, 0) is the corner text.
class TextGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextGrid(QObject* parent = nullptr);

    int rows() const { return int(cells_.size()); }
    int cols() const { return cols_; }
    void setRows(int rows); // new rows are empty; the grid keeps at least the header row
    void setCols(int cols);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    bool rowIsEmpty(int row) const; // no data cell of the row holds text

    // Segments between '|': the first character is the alignment ('^' centred, '<' left,
    // '>' right), the rest (trailing blanks included) the header text of that column.
    // Sets the column count to the number of segments when it is smaller.
    void applyFormat(const QString& format);
    Qt::Alignment alignment(int col) const;
    int segmentWidth(int col) const; // characters of the header text given by the format

    // Replaces every cell at once (one model reset instead of a signal per cell).
    void setAll(const QVector<QStringList>& cells);
    const QVector<QStringList>& all() const { return cells_; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QVector<QStringList> cells_; // rows x cols_, row 0 included
    int cols_ = 0;
    QVector<Qt::Alignment> alignments_;
    QVector<int> widths_;
};
