#include "ui/mainwindow/ProgressBarDelegate.h"

#include "ui/mainwindow/TransferTableModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace quillon {

void ProgressBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const int progress = index.data(TransferTableModel::ProgressRole).toInt();
    if (progress < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background and selection first, then the bar inside it.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);

    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(3, 3, -3, -3);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = progress;
    bar.text = QStringLiteral("%1%").arg(progress);
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    bar.state = QStyle::State_Enabled | QStyle::State_Horizontal;
    bar.palette = option.palette;
    bar.fontMetrics = option.fontMetrics;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}

} // namespace quillon
