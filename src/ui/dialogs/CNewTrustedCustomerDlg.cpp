#include "ui/dialogs/CNewTrustedCustomerDlg.h"

#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace quillon {

namespace {

struct Field {
    const char* label;
    const char* name;
    int limit;
    std::string TrustedCustomer::*text;
};

constexpr std::array<Field, 5> kFields{{
    {"Email", "email", 32, &TrustedCustomer::email},
    {"First name", "firstName", 32, &TrustedCustomer::firstName},
    {"Last name", "lastName", 32, &TrustedCustomer::lastName},
    {"Phone no.", "phone", 32, &TrustedCustomer::phone},
    {"Address", "address", 64, &TrustedCustomer::address},
}};

} // namespace

CNewTrustedCustomerDlg::CNewTrustedCustomerDlg(Mode mode, const TrustedCustomer& customer,
                                               Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_customer(customer) {
    setWindowTitle(mode == Edit ? QStringLiteral("Edit customer information")
                                : QStringLiteral("New Trusted Customer"));
    auto* form = new QFormLayout(this);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        m_fields[i] = limitedEdit(kFields[i].limit, kFields[i].name);
        m_fields[i]->setMinimumWidth(i + 1 == kFields.size() ? 360 : 240);
        m_texts[i].show(m_fields[i], customer.*kFields[i].text);
        form->addRow(kFields[i].label, m_fields[i]);
    }
    form->addRow(okCancelButtons(*this));
}

void CNewTrustedCustomerDlg::accept() {
    if (!acceptTypedText(m_prompter, std::vector<TypedEdit>(m_fields.begin(), m_fields.end())))
        return;
    TrustedCustomer entered;
    for (std::size_t i = 0; i < kFields.size(); ++i)
        entered.*kFields[i].text = m_texts[i].text();
    const TrustedEditResult result = TrustedCustomers::check(entered);
    if (result != TrustedEditResult::Done) {
        m_prompter.showMessage(trustedEditMessage(result));
        for (QLineEdit* field : m_fields) {
            if (field->text().contains(';')) {
                field->setFocus();
                break;
            }
        }
        return;
    }
    m_customer = entered;
    QDialog::accept();
}

} // namespace quillon
