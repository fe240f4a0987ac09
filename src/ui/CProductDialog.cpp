#include "ui/CProductDialog.h"

#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/CEditProductDlg.h"
#include "ui/CNewProductDlg.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {

// 0xF0F0F0 for the first row and every second one after it, 0xDCDCDC
// between them.
QColor rowColour(int row) {
    return row % 2 == 0 ? QColor(0xF0, 0xF0, 0xF0) : QColor(0xDC, 0xDC, 0xDC);
}

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

CProductDialog::CProductDialog(ProductList& list, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_list(list), m_prompter(prompter), m_table(new QTableWidget(0, 3)),
      m_edit(new QPushButton("Edit")), m_delete(new QPushButton("Delete")),
      m_update(new QPushButton("Update")) {
    setWindowTitle("Product list");
    m_table->setObjectName("products");
    m_table->setHorizontalHeaderLabels({"Code", "Price", "Description"});
    m_table->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_table->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_table->horizontalHeaderItem(2)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A single selection also drops it on a click beside the rows.
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(true);
    m_table->setItemDelegate(new PaddedCells(m_table));
    m_table->setMinimumSize(460, 260);
    m_table->installEventFilter(this);

    auto* add = new QPushButton("Add");
    add->setObjectName("add");
    m_edit->setObjectName("edit");
    m_delete->setObjectName("delete");
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(m_update, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_update->setObjectName("update");

    auto* editing = new QHBoxLayout;
    editing->addWidget(add);
    editing->addWidget(m_edit);
    editing->addWidget(m_delete);
    editing->addStretch();
    editing->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(editing);

    connect(add, &QPushButton::clicked, this, &CProductDialog::add);
    connect(m_edit, &QPushButton::clicked, this, &CProductDialog::edit);
    connect(m_delete, &QPushButton::clicked, this, &CProductDialog::remove);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CProductDialog::selectionChanged);

    m_update->setEnabled(false);
    fill();
}

bool CProductDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void CProductDialog::fitColumns() {
    // "Code" and "Price" take 12/64 of the usable width each, "Description"
    // the rest less 2 px.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table);
    const int usable = m_table->width() - 2 - scrollBar;
    const int narrow = usable * 12 / 64;
    m_table->setColumnWidth(0, narrow);
    m_table->setColumnWidth(1, narrow);
    m_table->setColumnWidth(2, usable - 2 * narrow - 2);
}

void CProductDialog::fill() {
    m_table->setUpdatesEnabled(false);
    m_table->clearSelection();
    m_table->setRowCount(int(m_list.size()));
    for (int row = 0; row < int(m_list.size()); ++row) {
        const ProductItem& p = m_list[size_t(row)];
        const QString texts[] = {QString::number(p.code), QString::asprintf("%1.2f", p.price),
                                 toQString(p.description)};
        for (int c = 0; c < 3; ++c) {
            auto* cell = new QTableWidgetItem(texts[c]);
            cell->setTextAlignment((c < 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            cell->setBackground(rowColour(row));
            cell->setForeground(Qt::black);
            m_table->setItem(row, c, cell);
        }
    }
    m_table->setCurrentItem(nullptr);
    m_table->setUpdatesEnabled(true);
    selectionChanged();
}

int CProductDialog::selectedRow() const {
    const QList<QTableWidgetItem*> cells = m_table->selectedItems();
    return cells.isEmpty() ? -1 : cells.first()->row();
}

void CProductDialog::selectionChanged() {
    const bool selected = selectedRow() >= 0;
    m_edit->setEnabled(selected);
    m_delete->setEnabled(selected);
}

void CProductDialog::add() {
    CNewProductDlg dialog(m_prompter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_list.push_back(dialog.item());
    changed();
}

void CProductDialog::edit() {
    const int row = selectedRow();
    if (row < 0)
        return;
    CEditProductDlg dialog(m_list[size_t(row)], m_prompter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_list[size_t(row)] = dialog.item();
    changed();
}

void CProductDialog::remove() {
    const int row = selectedRow();
    if (row < 0)
        return;
    const ProductItem& p = m_list[size_t(row)];
    if (!m_prompter.askYesNo("About to delete product item " + std::to_string(p.code) + " - " +
                             p.description + ". Okay to proceed?"))
        return;
    m_list.erase(m_list.begin() + row);
    changed();
}

void CProductDialog::changed() {
    fill();
    m_update->setEnabled(true);
}

} // namespace quillon
