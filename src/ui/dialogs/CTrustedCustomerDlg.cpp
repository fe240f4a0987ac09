#include "ui/dialogs/CTrustedCustomerDlg.h"

#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CNewTrustedCustomerDlg.h"
#include "ui/dialogs/ReportTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {

CTrustedCustomerDlg::CTrustedCustomerDlg(TrustedCustomers customers, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), m_customers(std::move(customers)), m_prompter(prompter),
      m_list(new QTableWidget), m_edit(new QPushButton("Edit")),
      m_delete(new QPushButton("Delete")), m_update(new QPushButton("Update")) {
    setWindowTitle(QStringLiteral("Trusted customers"));
    setUpReportTable(*m_list, {{"Email", 32}, {"First name", 16}, {"Last name"}});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumSize(460, 240);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 8);
    m_list->viewport()->installEventFilter(this);

    auto* add = new QPushButton("Add");
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add, m_edit, m_delete}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(side);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(m_update, QDialogButtonBox::AcceptRole);
    buttons->addButton("Close", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTrustedCustomerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTrustedCustomerDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &CTrustedCustomerDlg::addCustomer);
    connect(m_edit, &QPushButton::clicked, this, &CTrustedCustomerDlg::editCustomer);
    connect(m_delete, &QPushButton::clicked, this, &CTrustedCustomerDlg::deleteCustomer);
    connect(m_list, &QTableWidget::itemSelectionChanged, this,
            &CTrustedCustomerDlg::selectionChanged);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CTrustedCustomerDlg::editCustomer);

    m_edit->setEnabled(false);
    m_delete->setEnabled(false);
    m_update->setEnabled(false);
    add->setFocus(); // no row looks chosen before the shop chooses one
    fill();
}

void CTrustedCustomerDlg::fill() {
    m_list->setUpdatesEnabled(false);
    m_list->clearContents();
    m_list->setRowCount(int(m_customers.size()));
    for (std::size_t i = 0; i < m_customers.size(); ++i) {
        const TrustedCustomer& c = m_customers.at(i);
        int column = 0;
        for (const std::string* text : {&c.email, &c.firstName, &c.lastName})
            m_list->setItem(int(i), column++, new QTableWidgetItem(toQString(*text)));
    }
    shadeRows(*m_list);
    m_list->setUpdatesEnabled(true);
}

int CTrustedCustomerDlg::selectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void CTrustedCustomerDlg::selectionChanged() {
    const bool selected = selectedRow() >= 0;
    m_edit->setEnabled(selected);
    m_delete->setEnabled(selected);
}

// A click beside the rows clears the selection.
bool CTrustedCustomerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress &&
        !m_list->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
        m_list->clearSelection();
    return QDialog::eventFilter(watched, event);
}

void CTrustedCustomerDlg::addCustomer() {
    CNewTrustedCustomerDlg dialog(CNewTrustedCustomerDlg::New, {}, m_prompter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    finish(m_customers.add(dialog.customer()));
}

void CTrustedCustomerDlg::editCustomer() {
    const int row = selectedRow();
    if (row < 0)
        return;
    CNewTrustedCustomerDlg dialog(CNewTrustedCustomerDlg::Edit, m_customers.at(std::size_t(row)),
                                  m_prompter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    finish(m_customers.edit(std::size_t(row), dialog.customer()));
}

void CTrustedCustomerDlg::deleteCustomer() {
    const int row = selectedRow();
    if (row < 0)
        return;
    const TrustedCustomer& c = m_customers.at(std::size_t(row));
    if (!m_prompter.askYesNo("About to delete customer " + c.email + " (" + c.firstName + ", " +
                             c.lastName + "). Okay to proceed?"))
        return;
    m_customers.remove(std::size_t(row));
    listChanged();
}

void CTrustedCustomerDlg::finish(TrustedEditResult result) {
    if (result == TrustedEditResult::Done)
        listChanged();
    else
        m_prompter.showMessage(trustedEditMessage(result));
}

void CTrustedCustomerDlg::listChanged() {
    fill();
    m_list->clearSelection();
    m_edit->setEnabled(false);
    m_delete->setEnabled(false);
    m_update->setEnabled(true);
    m_changed = true;
}

} // namespace quillon
