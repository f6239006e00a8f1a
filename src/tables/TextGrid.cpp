#include "tables/TextGrid.h"

TextGrid::TextGrid(QObject* parent) : QAbstractTableModel(parent) {
    cells_.append(QStringList()); // the header row always exists
}

void TextGrid::setRows(int rows) {
    rows = qMax(rows, 1);
    const int old = this->rows();
    if (rows == old)
        return;
    if (rows > old) {
        beginInsertRows({}, old - 1, rows - 2);
        QStringList empty;
        for (int c = 0; c < cols_; ++c)
            empty.append(QString());
        cells_.insert(old, rows - old, empty);
        endInsertRows();
    } else {
        beginRemoveRows({}, rows - 1, old - 2);
        cells_.resize(rows);
        endRemoveRows();
    }
}

void TextGrid::setCols(int cols) {
    cols = qMax(cols, 1);
    if (cols == cols_)
        return;
    beginResetModel();
    for (QStringList& row : cells_) {
        while (row.size() < cols)
            row.append(QString());
        while (row.size() > cols)
            row.removeLast();
    }
    cols_ = cols;
    alignments_.resize(cols, Qt::AlignLeft);
    widths_.resize(cols, 0);
    endResetModel();
}

QString TextGrid::text(int row, int col) const {
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return QString();
    return cells_[row][col];
}

bool TextGrid::rowIsEmpty(int row) const {
    for (int col = 1; col < cols_; ++col)
        if (!text(row, col).isEmpty())
            return false;
    return true;
}

void TextGrid::setText(int row, int col, const QString& text) {
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return;
    if (cells_[row][col] == text)
        return;
    cells_[row][col] = text;
    if (row == 0 && col == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
    else if (row == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    else if (col == 0)
        Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else
        Q_EMIT dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
}

void TextGrid::applyFormat(const QString& format) {
    const QStringList segments = format.split(QLatin1Char('|'));
    if (cols_ < segments.size())
        setCols(int(segments.size()));
    for (int c = 0; c < segments.size(); ++c) {
        QString segment = segments[c];
        Qt::Alignment align = Qt::AlignLeft;
        if (segment.startsWith(QLatin1Char('^')))
            align = Qt::AlignHCenter;
        else if (segment.startsWith(QLatin1Char('>')))
            align = Qt::AlignRight;
        if (segment.startsWith(QLatin1Char('^')) || segment.startsWith(QLatin1Char('<')) ||
            segment.startsWith(QLatin1Char('>')))
            segment.remove(0, 1);
        alignments_[c] = align;
        widths_[c] = int(segment.size());
        setText(0, c, segment);
    }
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, qMax(0, cols_ - 2));
}

Qt::Alignment TextGrid::alignment(int col) const {
    return col >= 0 && col < alignments_.size() ? alignments_[col] : Qt::AlignLeft;
}

int TextGrid::segmentWidth(int col) const {
    return col >= 0 && col < widths_.size() ? widths_[col] : 0;
}

void TextGrid::setAll(const QVector<QStringList>& cells) {
    beginResetModel();
    cells_ = cells;
    if (cells_.isEmpty())
        cells_.append(QStringList());
    for (QStringList& row : cells_) {
        while (row.size() < cols_)
            row.append(QString());
        while (row.size() > cols_)
            row.removeLast();
    }
    endResetModel();
}

int TextGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows() - 1;
}

int TextGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : qMax(0, cols_ - 1);
}

QVariant TextGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(row, col);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col) | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool TextGrid::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setText(index.row() + 1, index.column() + 1, value.toString());
    return true;
}

QVariant TextGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? text(0, section + 1) : text(section + 1, 0);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            (orientation == Qt::Horizontal ? alignment(section + 1) : alignment(0)) |
            Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TextGrid::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
