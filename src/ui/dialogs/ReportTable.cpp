#include "ui/dialogs/ReportTable.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace quillon {

namespace {

// Keeps the columns at their fractions of the list's width.
class ColumnFitter : public QObject {
public:
    ColumnFitter(QTableWidget& table, std::vector<int> fractions)
        : QObject(&table), m_table(table), m_fractions(std::move(fractions)) {
        table.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit() {
        const int scrollBar = m_table.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int usable = m_table.width() - 2 - scrollBar;
        int used = 0;
        for (std::size_t i = 0; i + 1 < m_fractions.size(); ++i) {
            const int width = usable * m_fractions[i] / 64;
            m_table.setColumnWidth(int(i), width);
            used += width;
        }
        m_table.setColumnWidth(int(m_fractions.size()) - 1, std::max(usable - used - 2, 0));
    }

    QTableWidget& m_table;
    std::vector<int> m_fractions;
};

// Numbers right-aligned next to a left-aligned text need a gap; the row
// colour still fills the whole cell.
class PaddedCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
        QStyleOptionViewItem inner(option);
        inner.rect.adjust(4, 0, -4, 0);
        QStyledItemDelegate::paint(painter, inner, index);
    }
};

} // namespace

void setUpReportTable(QTableWidget& table, const std::vector<ReportColumn>& columns) {
    table.setColumnCount(int(columns.size()));
    std::vector<int> fractions;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto* header = new QTableWidgetItem(columns[i].title);
        header->setTextAlignment(columns[i].alignment | Qt::AlignVCenter);
        table.setHorizontalHeaderItem(int(i), header);
        fractions.push_back(columns[i].sixtyFourths);
    }
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setShowGrid(true);
    table.verticalHeader()->hide();
    table.horizontalHeader()->setHighlightSections(false);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    new ColumnFitter(table, std::move(fractions));
}

void shadeRows(QTableWidget& table) {
    for (int row = 0; row < table.rowCount(); ++row) {
        const QColor shade = row % 2 == 0 ? QColor(0xF0, 0xF0, 0xF0) : QColor(0xDC, 0xDC, 0xDC);
        for (int column = 0; column < table.columnCount(); ++column) {
            if (QTableWidgetItem* item = table.item(row, column)) {
                item->setBackground(shade);
                item->setForeground(Qt::black);
            }
        }
    }
}

void padReportCells(QTableWidget& table) {
    table.setItemDelegate(new PaddedCells(&table));
}

} // namespace quillon
