#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace quillon {

class Prompter;

// "Login": the Shop ID and the password for the central service. Its
// caller sends what it returns; OK refuses only a text that could not be
// sent as it is typed.
class CLoginDialog : public QDialog {
    Q_OBJECT
public:
    CLoginDialog(const QString& shopId, Prompter& prompter, QWidget* parent = nullptr);

    QString shopId() const;
    QString password() const;

    void accept() override;

private:
    Prompter& m_prompter;
    QLineEdit* m_shopId;
    QLineEdit* m_password;
};

} // namespace quillon
