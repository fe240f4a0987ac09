#include "ui/dialogs/CEmailSetupDlg.h"

#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/FormAlignment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>
#include <limits>

namespace quillon {

CEmailSetupDlg::CEmailSetupDlg(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_disabled(new QRadioButton("Disabled")),
      m_enabled(new QRadioButton("Enabled")), m_smtp(new QLineEdit), m_sender(new QLineEdit),
      m_subject(new QLineEdit), m_body(new QPlainTextEdit),
      m_attach(new QCheckBox("Attach order summary to email")),
      m_readyMail(new QCheckBox("Tell the customer when an order is ready for pick-up")),
      m_shopName(new QLineEdit), m_readySubject(new QLineEdit), m_readyBody(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Email notification"));
    m_smtp->setObjectName("smtp");
    m_sender->setObjectName("sender");
    m_subject->setObjectName("subject");
    m_body->setObjectName("body");
    m_subject->setMaxLength(subjectLimit);
    m_readyMail->setObjectName("readymail");
    m_shopName->setObjectName("shopname");
    m_readySubject->setObjectName("readysubject");
    m_readyBody->setObjectName("readybody");
    m_readySubject->setMaxLength(subjectLimit);
    m_readyBody->setTabChangesFocus(true);
    m_readyBody->setMinimumSize(360, 110);
    m_body->setTabChangesFocus(true);
    m_body->setMinimumSize(360, 110);
    m_attach->setChecked(true);

    auto* choice = new QHBoxLayout;
    choice->addWidget(m_disabled);
    choice->addWidget(m_enabled);
    choice->addStretch();

    m_serverForm = new QFormLayout;
    m_serverForm->addRow("SMTP Host Address", m_smtp);
    m_serverForm->addRow("Sender's Email Address", m_sender);

    auto* templateBox = new QGroupBox("Email Template");
    m_templateForm = new QFormLayout(templateBox);
    m_templateForm->addRow("Subject", m_subject);
    m_templateForm->addRow("Body", m_body);

    auto* readyBox = new QGroupBox("Ready for pick-up");
    auto* readyLayout = new QVBoxLayout(readyBox);
    readyLayout->addWidget(m_readyMail);
    m_readyForm = new QFormLayout;
    m_readyForm->addRow("Shop name", m_shopName);
    m_readyForm->addRow("Subject", m_readySubject);
    m_readyForm->addRow("Body", m_readyBody);
    readyLayout->addLayout(m_readyForm);
    // Two lines of their own: a wrapped label would not get its height.
    readyLayout->addWidget(new QLabel("%ORDER% order number, %SHOP% shop name,\n"
                                      "%ITEMS% number of items, %AMOUNT% amount"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(m_serverForm);
    layout->addWidget(templateBox);
    layout->addWidget(m_attach);
    layout->addWidget(readyBox);
    layout->addWidget(okCancelButtons(*this));

    connect(m_enabled, &QRadioButton::toggled, this, &CEmailSetupDlg::enableFields);
    connect(m_readyMail, &QCheckBox::toggled, this, &CEmailSetupDlg::enableFields);
    connect(m_body, &QPlainTextEdit::textChanged, this, &CEmailSetupDlg::limitBody);
    m_disabled->setChecked(true);
    enableFields();
}

void CEmailSetupDlg::setValues(const NotificationValues& values) {
    (values.notification ? m_enabled : m_disabled)->setChecked(true);
    m_smtpText.show(m_smtp, values.smtp);
    m_senderText.show(m_sender, values.sender);
    m_subjectText.show(m_subject, values.subject);
    m_bodyLength = std::numeric_limits<int>::max(); // a stored body is shown whole
    m_bodyText.show(m_body, values.body);
    m_bodyLength = int(m_body->toPlainText().size());
    m_attach->setChecked(values.attach);
    m_readyMail->setChecked(values.readymail);
    m_shopNameText.show(m_shopName, values.shopname);
    m_readySubjectText.show(m_readySubject, values.readysubject);
    m_readyBodyText.show(m_readyBody, values.readybody);
    enableFields();
}

NotificationValues CEmailSetupDlg::values() const {
    NotificationValues v;
    v.notification = m_enabled->isChecked();
    v.smtp = m_smtpText.text();
    v.sender = m_senderText.text();
    v.subject = m_subjectText.text();
    v.body = m_bodyText.text();
    v.attach = m_attach->isChecked();
    v.readymail = m_readyMail->isChecked();
    v.shopname = m_shopNameText.text();
    v.readysubject = m_readySubjectText.text();
    v.readybody = m_readyBodyText.text();
    return v;
}

void CEmailSetupDlg::accept() {
    if (acceptTypedText(m_prompter, {m_smtp,
                                     m_sender,
                                     m_subject,
                                     m_body,
                                     m_shopName,
                                     {m_readySubject, "Ready for pick-up subject"},
                                     {m_readyBody, "Ready for pick-up body"}}))
        QDialog::accept();
}

void CEmailSetupDlg::enableFields() {
    const bool notify = m_enabled->isChecked(), ready = m_readyMail->isChecked();
    m_smtp->setEnabled(notify || ready);
    m_sender->setEnabled(notify || ready);
    m_subject->setEnabled(notify);
    m_body->setEnabled(notify);
    for (QWidget* field : {static_cast<QWidget*>(m_shopName), static_cast<QWidget*>(m_readySubject),
                           static_cast<QWidget*>(m_readyBody)})
        field->setEnabled(ready);
}

// Takes back what was just typed or pasted beyond the limit: the characters
// right before the cursor.
void CEmailSetupDlg::limitBody() {
    const int length = int(m_body->toPlainText().size());
    const int allowed = std::max(bodyLimit, std::min(m_bodyLength, length));
    if (length > allowed) {
        QTextCursor cursor = m_body->textCursor();
        const int end = cursor.position();
        cursor.setPosition(std::max(end - (length - allowed), 0));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        m_body->setTextCursor(cursor);
        return; // the removal calls back in with the allowed length
    }
    m_bodyLength = length;
}

void CEmailSetupDlg::showEvent(QShowEvent* event) {
    alignForms(*this, {m_serverForm, m_templateForm, m_readyForm});
    QDialog::showEvent(event);
}

} // namespace quillon
