#include "ui/dialogs/CEmailSetupDlg.h"

#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/FormAlignment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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
      m_attach(new QCheckBox("Attach order summary to email")) {
    setWindowTitle(QStringLiteral("Email notification"));
    m_smtp->setObjectName("smtp");
    m_sender->setObjectName("sender");
    m_subject->setObjectName("subject");
    m_body->setObjectName("body");
    m_subject->setMaxLength(subjectLimit);
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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(m_serverForm);
    layout->addWidget(templateBox);
    layout->addWidget(m_attach);
    layout->addWidget(okCancelButtons(*this));

    connect(m_enabled, &QRadioButton::toggled, this, &CEmailSetupDlg::enableFields);
    connect(m_body, &QPlainTextEdit::textChanged, this, &CEmailSetupDlg::limitBody);
    m_disabled->setChecked(true);
    enableFields(false);
}

void CEmailSetupDlg::setValues(const NotificationValues& values) {
    m_given = values;
    (values.notification ? m_enabled : m_disabled)->setChecked(true);
    m_smtpText.show(m_smtp, values.smtp);
    m_senderText.show(m_sender, values.sender);
    m_subjectText.show(m_subject, values.subject);
    m_bodyLength = std::numeric_limits<int>::max(); // a stored body is shown whole
    m_bodyText.show(m_body, values.body);
    m_bodyLength = int(m_body->toPlainText().size());
    m_attach->setChecked(values.attach);
}

NotificationValues CEmailSetupDlg::values() const {
    NotificationValues v = m_given;
    v.notification = m_enabled->isChecked();
    v.smtp = m_smtpText.text();
    v.sender = m_senderText.text();
    v.subject = m_subjectText.text();
    v.body = m_bodyText.text();
    v.attach = m_attach->isChecked();
    return v;
}

void CEmailSetupDlg::accept() {
    if (acceptTypedText(m_prompter, {m_smtp, m_sender, m_subject, m_body}))
        QDialog::accept();
}

void CEmailSetupDlg::enableFields(bool enabled) {
    for (QWidget* field : {static_cast<QWidget*>(m_smtp), static_cast<QWidget*>(m_sender),
                           static_cast<QWidget*>(m_subject), static_cast<QWidget*>(m_body)})
        field->setEnabled(enabled);
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
    alignForms(*this, {m_serverForm, m_templateForm});
    QDialog::showEvent(event);
}

} // namespace quillon
