#pragma once

#include "core/ShopRegistration.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace quillon {

class Prompter;
class ShopDetailsForm;

// "Shop setup": a new shop's details. "Send" sends them to the central
// service (off the user-interface thread) and closes the dialog once the
// service has answered; a mismatch of the passwords or a connection that
// fails keeps it open.
class CShopSetupDialog : public QDialog {
    Q_OBJECT
public:
    // `email` pre-fills "* Email 1".
    CShopSetupDialog(const ServiceEndpoint& service, const QString& email, Prompter& prompter,
                     QWidget* parent = nullptr);

    // After the dialog closed with OK: whether the service took the shop.
    bool serviceAccepted() const { return m_accepted; }
    QString email1() const;

    void accept() override;
    void reject() override;

private:
    void finished(const ShopSetupResult& result, const QStringList& messages);

    Prompter& m_prompter;
    ShopRegistration m_registration;
    QLineEdit* m_shopName;
    QLineEdit* m_password;
    QLineEdit* m_retyped;
    ShopDetailsForm* m_form;
    QPushButton* m_send;
    bool m_accepted = false;
};

} // namespace quillon
