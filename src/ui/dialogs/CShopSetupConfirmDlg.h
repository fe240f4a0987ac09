#pragma once

#include "core/ShopRegistration.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace quillon {

class Prompter;

// "Shop setup confirmation": the SHOP ID the service e-mailed, sent with
// the shop's e-mail address. "Confirm" closes the dialog once the service
// has confirmed it; a refusal or a failed connection keeps it open.
class CShopSetupConfirmDlg : public QDialog {
    Q_OBJECT
public:
    CShopSetupConfirmDlg(const ServiceEndpoint& service, const QString& email, Prompter& prompter,
                         QWidget* parent = nullptr);

    // After the dialog closed with OK: 2 when confirmed, else 1.
    int status() const { return m_status; }
    QString shopId() const;

    void accept() override;
    void reject() override;

private:
    void finished(const ConfirmationResult& result, const QStringList& messages);

    Prompter& m_prompter;
    ShopRegistration m_registration;
    QString m_email;
    QLineEdit* m_shopId;
    QPushButton* m_confirm;
    int m_status = 1;
};

} // namespace quillon
