#include "ui/mainwindow/TransferView.h"

#include "ui/mainwindow/ProgressBarDelegate.h"
#include "ui/mainwindow/TransferTableModel.h"

#include <QHeaderView>
#include <QScrollBar>

namespace quillon {

std::array<int, 5> transferColumnWidths(int listWidth, int scrollBarWidth, bool firstTime) {
    static constexpr int sixtyFourths[5] = {12, 12, 10, 15, 15};
    const int space = std::max(0, listWidth - scrollBarWidth - 2);
    std::array<int, 5> widths{};
    int used = 0;
    for (int i = 0; i < 5; ++i) {
        widths[size_t(i)] = space * sixtyFourths[i] / 64;
        if (i < 4)
            used += widths[size_t(i)];
    }
    if (firstTime)
        widths[4] = space - used;
    return widths;
}

TransferView::TransferView(const TransferList& list, QWidget* parent)
    : QTableView(parent), m_model(new TransferTableModel(list, this)) {
    setModel(m_model);
    setItemDelegate(new ProgressBarDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAccessibleName(QStringLiteral("Transfer list"));
    // A new row is scrolled to once the view has taken its new extent.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        QMetaObject::invokeMethod(this, &QAbstractItemView::scrollToBottom, Qt::QueuedConnection);
    });
}

void TransferView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const auto widths = transferColumnWidths(width(), bar, !m_columnsMade);
    m_columnsMade = true;
    for (int i = 0; i < 5; ++i)
        horizontalHeader()->resizeSection(i, widths[size_t(i)]);
}

} // namespace quillon
