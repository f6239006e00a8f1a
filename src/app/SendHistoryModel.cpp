#include "app/SendHistoryModel.h"

void SendHistoryModel::setRows(const QStringList& headers, QVector<QStringList> rows) {
    beginResetModel();
    headers_ = headers;
    rows_ = std::move(rows);
    endResetModel();
}

int SendHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int SendHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(headers_.size());
}

QVariant SendHistoryModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return rows_.value(index.row()).value(index.column());
}

QVariant SendHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(headers_.value(section))
                                         : QVariant(section + 1);
}
