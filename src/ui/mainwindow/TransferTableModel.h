#pragma once

#include <QAbstractTableModel>

namespace quillon {

class TransferList;

// The transfer list as a table: "Order number", "Customer", "Total",
// "Transfer status", "Payment status". Follows the list's reports row by
// row; a progress tick changes one row, never the whole table.
class TransferTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // 0..100 while a reception's progress bar shows in "Transfer status",
    // else -1.
    static constexpr int ProgressRole = Qt::UserRole + 1;
    static constexpr int TransferStatusColumn = 3;

    explicit TransferTableModel(const TransferList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TransferList& m_list;
    // The rows the views know of; the list has added its rows already when
    // it reports them.
    int m_rows = 0;
};

} // namespace quillon
