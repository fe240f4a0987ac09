#include "ui/dialogs/CShopSetupConfirmDlg.h"

#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/RegistrationStep.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

CShopSetupConfirmDlg::CShopSetupConfirmDlg(const ServiceEndpoint& service, const QString& email,
                                           Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_registration(service), m_email(email),
      m_shopId(shopIdEdit()) {
    setWindowTitle("Shop setup confirmation");
    QDialogButtonBox* buttons = okCancelButtons(*this);
    m_confirm = buttons->button(QDialogButtonBox::Ok);
    m_confirm->setText("Confirm");
    buttons->button(QDialogButtonBox::Cancel)->setText("Exit");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel("Enter SHOP ID you receive in email below and press button to confirm setup."));
    layout->addWidget(m_shopId);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(&m_registration, &ShopRegistration::confirmationFinished, this,
            &CShopSetupConfirmDlg::finished);
}

QString CShopSetupConfirmDlg::shopId() const {
    return m_shopId->text();
}

void CShopSetupConfirmDlg::accept() {
    if (!m_registration.isBusy() && !acceptTypedText(m_prompter, {{m_shopId, "SHOP ID"}}))
        return;
    if (m_registration.confirm(fromQString(m_shopId->text()), fromQString(m_email)))
        showStepRunning(this, m_confirm, true);
}

void CShopSetupConfirmDlg::reject() {
    if (!m_registration.isBusy())
        QDialog::reject();
}

void CShopSetupConfirmDlg::finished(const ConfirmationResult& result, const QStringList& messages) {
    showStepRunning(this, m_confirm, false);
    showStepMessages(m_prompter, messages);
    if (result.result != 0)
        return;
    m_status = result.status;
    QDialog::accept();
}

} // namespace quillon
