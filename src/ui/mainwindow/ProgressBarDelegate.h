#pragma once

#include <QStyledItemDelegate>

namespace quillon {

// Draws a progress bar in a cell whose TransferTableModel::ProgressRole is
// 0..100, and the plain cell otherwise.
class ProgressBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace quillon
