#include "ui/mainwindow/TransferTableModel.h"

#include "core/TransferList.h"
#include "orders/QtText.h"

#include <QColor>

namespace quillon {

TransferTableModel::TransferTableModel(const TransferList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_rows(list.rowCount()) {
    connect(&list, &TransferList::rowsInserted, this, [this](int first, int last) {
        beginInsertRows({}, first, last);
        m_rows = m_list.rowCount();
        endInsertRows();
    });
    connect(&list, &TransferList::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(&list, &TransferList::rowsReset, this, [this] {
        beginResetModel();
        m_rows = m_list.rowCount();
        endResetModel();
    });
}

int TransferTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TransferTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant TransferTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    const TransferRow& r = m_list.row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case 0:
            return toQString(r.orderNumber);
        case 1:
            return toQString(r.customer);
        case 2:
            return toQString(r.total);
        case 3:
            return r.progress >= 0 ? QStringLiteral("%1%").arg(r.progress)
                                   : toQString(r.transferStatus);
        case 4:
            return toQString(r.paymentStatus);
        }
        return {};
    case ProgressRole:
        return index.column() == TransferStatusColumn ? r.progress : -1;
    case Qt::BackgroundRole:
        return QColor(index.row() % 2 ? 0xDCDCDC : 0xF0F0F0);
    case Qt::ForegroundRole:
        return r.aborted ? QColor(0x9B, 0x2C, 0x2C) : QColor(0x1E, 0x1E, 0x1E);
    case Qt::TextAlignmentRole:
        return index.column() == 2 ? int(Qt::AlignRight | Qt::AlignVCenter)
                                   : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TransferTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const names[] = {"Order number", "Customer", "Total", "Transfer status",
                                        "Payment status"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5)
        return QString::fromLatin1(names[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace quillon
