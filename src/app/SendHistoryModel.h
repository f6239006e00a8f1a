#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The rows of "Send history" as read-only texts under their headers: a list of thousands of
// rows needs no item per cell.
class SendHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QStringList& headers, QVector<QStringList> rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList headers_;
    QVector<QStringList> rows_;
};
