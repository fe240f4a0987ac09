#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace quillon {

// "Login": the Shop ID and the password for the central service. It
// checks nothing; its caller sends what it returns.
class CLoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLoginDialog(const QString& shopId, QWidget* parent = nullptr);

    QString shopId() const;
    QString password() const;

private:
    QLineEdit* m_shopId;
    QLineEdit* m_password;
};

} // namespace quillon
