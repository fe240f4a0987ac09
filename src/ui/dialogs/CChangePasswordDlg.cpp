#include "ui/dialogs/CChangePasswordDlg.h"

#include "core/FieldRules.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace quillon {

CChangePasswordDlg::CChangePasswordDlg(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter),
      m_old(limitedEdit(8, "oldPassword", QLineEdit::Password)),
      m_new(limitedEdit(8, "newPassword", QLineEdit::Password)),
      m_retyped(limitedEdit(8, "retypedPassword", QLineEdit::Password)) {
    setWindowTitle("Change password");
    auto* form = new QFormLayout;
    form->addRow("Old password", m_old);
    form->addRow("New password", m_new);
    form->addRow("Re-type new password", m_retyped);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CChangePasswordDlg::oldPassword() const {
    return m_old->text();
}

QString CChangePasswordDlg::newPassword() const {
    return m_new->text();
}

void CChangePasswordDlg::accept() {
    if (!acceptTypedText(m_prompter, {m_old, m_new, m_retyped}))
        return;
    if (!passwordsMatch(m_new->text(), m_retyped->text())) {
        m_prompter.showMessage("Please re-type your new password and try again.");
        focusField(m_retyped);
        return;
    }
    QDialog::accept();
}

} // namespace quillon
