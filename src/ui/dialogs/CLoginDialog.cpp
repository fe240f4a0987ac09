#include "ui/dialogs/CLoginDialog.h"

#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quillon {

namespace {

// Stands in the password field until the user types over it.
constexpr char kPasswordPlaceholder[] = "password";

} // namespace

CLoginDialog::CLoginDialog(const QString& shopId, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_shopId(shopIdEdit()),
      m_password(limitedEdit(16, "password", QLineEdit::Password)) {
    setWindowTitle("Login");
    m_shopId->setText(shopId);
    m_password->setText(kPasswordPlaceholder);

    auto* form = new QFormLayout;
    form->addRow("Shop ID", m_shopId);
    form->addRow("Password", m_password);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    focusField(shopId.isEmpty() ? m_shopId : m_password);
}

QString CLoginDialog::shopId() const {
    return m_shopId->text();
}

QString CLoginDialog::password() const {
    return m_password->text();
}

void CLoginDialog::accept() {
    if (acceptTypedText(m_prompter, {m_shopId, m_password}))
        QDialog::accept();
}

} // namespace quillon
