#include "ui/dialogs/CShopSetupDialog.h"

#include "core/ShopFields.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/RegistrationStep.h"
#include "ui/dialogs/ShopDetailsForm.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

CShopSetupDialog::CShopSetupDialog(const ServiceEndpoint& service, const QString& email,
                                   Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_registration(service),
      m_shopName(limitedEdit(100, "Shop name")),
      m_password(limitedEdit(8, "Password", QLineEdit::Password)),
      m_retyped(limitedEdit(8, "Re-type password", QLineEdit::Password)) {
    setWindowTitle("Shop setup");
    auto* grid = new QGridLayout;
    // Each edit the buddy of its label, which names it in messages.
    auto addField = [grid](const char* text, QLineEdit* edit, int row, int column, int span) {
        auto* label = new QLabel(text);
        label->setBuddy(edit);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1, 1, span);
    };
    addField("* Shop name", m_shopName, 0, 0, 3);
    addField("* Password", m_password, 1, 0, 1);
    addField("* Re-type password", m_retyped, 1, 2, 1);
    m_form = new ShopDetailsForm(grid, 2, prompter, this);
    ShopInfo start;
    start.email1 = fromQString(email);
    m_form->setValues(start, {});

    QDialogButtonBox* buttons = okCancelButtons(*this);
    m_send = buttons->button(QDialogButtonBox::Ok);
    m_send->setText("Send");
    buttons->button(QDialogButtonBox::Cancel)->setText("Exit");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel("Enter your shop information below. Fields with (*) are required."));
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(&m_registration, &ShopRegistration::setupFinished, this, &CShopSetupDialog::finished);
    m_shopName->setFocus();
}

QString CShopSetupDialog::email1() const {
    return toQString(m_form->values().email1);
}

void CShopSetupDialog::accept() {
    if (m_registration.isBusy())
        return;
    std::vector<TypedEdit> typed{m_shopName, m_password, m_retyped};
    for (const TypedEdit& e : m_form->typedEdits())
        typed.push_back(e);
    if (!acceptTypedText(m_prompter, typed) || !m_form->checkSalesTax())
        return;
    const ShopInfo info = m_form->values();
    ShopSetupDetails details;
    details.shopName = fromQString(m_shopName->text());
    details.password = fromQString(m_password->text());
    details.streetAddress = info.streetAddress;
    details.city = info.city;
    details.country = info.country;
    details.zipCode = info.zipCode;
    details.email1 = info.email1;
    details.email2 = info.email2;
    details.phone1 = info.phone1;
    details.phone2 = info.phone2;
    details.primaryContact = info.primaryContact;
    details.url = info.url;
    details.currency = info.currency;
    details.orderRestriction = info.orderRestriction;
    details.payPal = info.payPal;
    details.paymentType = info.paymentType;
    details.salesTax = info.salesTax;
    details.logo = encodeLogo(m_form->logo());
    if (m_registration.sendSetup(details, fromQString(m_retyped->text())))
        showStepRunning(this, m_send, true);
}

void CShopSetupDialog::reject() {
    // The answer is awaited; the service's limits bound the wait.
    if (!m_registration.isBusy())
        QDialog::reject();
}

void CShopSetupDialog::finished(const ShopSetupResult& result, const QStringList& messages) {
    showStepRunning(this, m_send, false);
    showStepMessages(m_prompter, messages);
    if (result.result == 1)
        focusField(m_retyped);
    if (result.result != 0)
        return;
    m_accepted = result.accepted;
    QDialog::accept();
}

} // namespace quillon
