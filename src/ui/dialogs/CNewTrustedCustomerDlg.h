#pragma once

#include "orders/TrustedCustomers.h"
#include "ui/dialogs/EditedText.h"

#include <QDialog>
#include <array>

class QLineEdit;

namespace quillon {

class Prompter;

// "Trusted customer": one customer's e-mail address, names, phone number
// and address, new or edited.
class CNewTrustedCustomerDlg : public QDialog {
    Q_OBJECT
public:
    enum Mode { New, Edit };

    CNewTrustedCustomerDlg(Mode mode, const TrustedCustomer& customer, Prompter& prompter,
                           QWidget* parent = nullptr);

    // The customer as entered; meaningful once the dialog was accepted.
    const TrustedCustomer& customer() const { return m_customer; }

    // Refuses what could not be stored and read back as entered (a ";" in
    // one of the first four fields would shift them, a character the file's
    // code page lacks would be lost): the shop is told and the dialog stays
    // open.
    void accept() override;

private:
    Prompter& m_prompter;
    TrustedCustomer m_customer;
    std::array<QLineEdit*, 5> m_fields{};
    std::array<EditedText, 5> m_texts;
};

} // namespace quillon
