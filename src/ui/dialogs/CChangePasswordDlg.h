#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace quillon {

class Prompter;

// "Change password": the old password and the new one twice. OK closes
// only when the two new ones are the same and all three can be sent as
// they are typed.
class CChangePasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChangePasswordDlg(Prompter& prompter, QWidget* parent = nullptr);

    QString oldPassword() const;
    QString newPassword() const;

    void accept() override;

private:
    Prompter& m_prompter;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_retyped;
};

} // namespace quillon
