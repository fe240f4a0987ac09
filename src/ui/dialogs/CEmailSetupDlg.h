#pragma once

#include "orders/Settings.h"
#include "ui/dialogs/EditedText.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace quillon {

class Prompter;

// "Email notification": whether a customer gets an e-mail when an order
// has arrived, the SMTP host, the sender, the templates and whether the
// summary is attached; then the e-mail an order ready for pick-up sends,
// with its own switch, shop name and templates. The SMTP host and sender
// are enabled while either e-mail is on. No field is required; OK refuses a text that cannot
// be stored as it is typed.
class CEmailSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int subjectLimit = 120;
    static constexpr int bodyLimit = 500;

    explicit CEmailSetupDlg(Prompter& prompter, QWidget* parent = nullptr);

    void setValues(const NotificationValues& values);
    // The values as the dialog shows them now.
    NotificationValues values() const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void enableFields();
    void limitBody();

    Prompter& m_prompter;
    QRadioButton* m_disabled;
    QRadioButton* m_enabled;
    QLineEdit* m_smtp;
    QLineEdit* m_sender;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QCheckBox* m_attach;
    QCheckBox* m_readyMail;
    QLineEdit* m_shopName;
    QLineEdit* m_readySubject;
    QPlainTextEdit* m_readyBody;
    EditedText m_smtpText, m_senderText, m_subjectText, m_bodyText;
    EditedText m_shopNameText, m_readySubjectText, m_readyBodyText;
    // The body's length before the last change: a longer stored body may
    // be shortened, never lengthened.
    int m_bodyLength = 0;
    QFormLayout* m_serverForm = nullptr;
    QFormLayout* m_templateForm = nullptr;
    QFormLayout* m_readyForm = nullptr;
};

} // namespace quillon
