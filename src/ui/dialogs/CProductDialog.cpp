#include "ui/dialogs/CProductDialog.h"

#include "orders/NumberText.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CEditProductDlg.h"
#include "ui/dialogs/CNewProductDlg.h"
#include "ui/dialogs/ReportTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

namespace quillon {

CProductDialog::CProductDialog(ProductList& list, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_list(list), m_prompter(prompter), m_table(new QTableWidget),
      m_edit(new QPushButton("Edit")), m_delete(new QPushButton("Delete")),
      m_update(new QPushButton("Update")) {
    setWindowTitle("Product list");
    m_table->setObjectName("products");
    setUpReportTable(
        *m_table, {{"Code", 12, Qt::AlignRight}, {"Price", 12, Qt::AlignRight}, {"Description"}});
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    padReportCells(*m_table);
    m_table->setMinimumSize(460, 260);

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

void CProductDialog::fill() {
    m_table->setUpdatesEnabled(false);
    m_table->clearSelection();
    m_table->setRowCount(int(m_list.size()));
    for (int row = 0; row < int(m_list.size()); ++row) {
        const ProductItem& p = m_list[size_t(row)];
        const QString texts[] = {QString::number(p.code),
                                 QString::fromStdString(formatDecimal(p.price)),
                                 toQString(p.description)};
        for (int c = 0; c < 3; ++c) {
            auto* cell = new QTableWidgetItem(texts[c]);
            cell->setTextAlignment((c < 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            m_table->setItem(row, c, cell);
        }
    }
    shadeRows(*m_table);
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

void CProductDialog::accept() {
    if (!m_send) {
        QDialog::accept();
        return;
    }
    if (m_sending || !m_send())
        return;
    m_sending = true;
    setEnabled(false);
    setCursor(Qt::BusyCursor);
}

void CProductDialog::reject() {
    // The list on its way is the one shown; the dialog waits for it.
    if (!m_sending)
        QDialog::reject();
}

void CProductDialog::sendFinished(bool sent) {
    if (!std::exchange(m_sending, false))
        return;
    setEnabled(true);
    unsetCursor();
    if (sent)
        QDialog::accept();
}

} // namespace quillon
