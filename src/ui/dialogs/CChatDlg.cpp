#include "ui/dialogs/CChatDlg.h"

#include "core/WorkingFolders.h"
#include "orders/FilePaths.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/dialogs/DialogParts.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

namespace {

// The input's lines, without the empty ones it ends with.
std::vector<std::string> inputLines(const QString& text) {
    QStringList lines = text.split('\n');
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    std::vector<std::string> out;
    for (const QString& line : lines)
        out.push_back(fromQString(line));
    return out;
}

} // namespace

CChatDlg::CChatDlg(const ServiceEndpoint& chat, const std::string& shopId,
                   const std::string& workingDirectory, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_session(chat, shopId),
      m_scriptPath(qtPath(joinPath(joinPath(workingDirectory, kHistoryFolder), "ChatScript.txt"))),
      m_lines(new QListWidget), m_input(new QPlainTextEdit), m_connect(new QPushButton("Connect")),
      m_send(new QPushButton("Send")) {
    setWindowTitle("Chat");
    setModal(false);
    m_lines->setObjectName("chatLines");
    m_lines->setWordWrap(true);
    m_lines->setMinimumSize(520, 280);
    m_input->setObjectName("input");
    m_input->setTabChangesFocus(true);
    m_input->setFixedHeight(m_input->fontMetrics().lineSpacing() * 4 + 12);
    m_connect->setObjectName("connect");
    m_send->setObjectName("send");
    m_send->setEnabled(false);
    auto* save = new QPushButton("Save script");
    save->setObjectName("saveScript");
    auto* exit = new QPushButton("Exit");
    exit->setObjectName("exit");
    for (QPushButton* button : {m_connect, m_send, save, exit})
        button->setAutoDefault(false);

    auto* typing = new QHBoxLayout;
    typing->addWidget(m_input, 1);
    typing->addWidget(m_send, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_connect);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lines, 1);
    layout->addLayout(typing);
    layout->addLayout(buttons);

    connect(m_connect, &QPushButton::clicked, this, &CChatDlg::connectOrDisconnect);
    connect(m_send, &QPushButton::clicked, this, &CChatDlg::sendInput);
    connect(save, &QPushButton::clicked, this, &CChatDlg::saveScript);
    connect(exit, &QPushButton::clicked, &m_session, &ChatSession::exit);
    connect(&m_session, &ChatSession::linesAdded, this, &CChatDlg::showLines);
    connect(&m_session, &ChatSession::connectedChanged, this, &CChatDlg::showConnected);
    connect(&m_session, &ChatSession::messagesToShow, this, [this](const QStringList& texts) {
        for (const QString& text : texts)
            m_prompter.showMessage(fromQString(text));
    });
    connect(&m_session, &ChatSession::ended, this, &CChatDlg::end);
}

void CChatDlg::connectOrDisconnect() {
    if (m_session.isConnected()) {
        m_session.close();
        return;
    }
    CLoginDialog login(toQString(m_session.shopId()), m_prompter, this);
    if (login.exec() != QDialog::Accepted)
        return;
    QInputDialog ask(this);
    ask.setWindowTitle("User name");
    ask.setLabelText("Enter your name for this chat:");
    ask.setTextValue(m_chatName);
    // A name that cannot be sent as it is typed is refused and asked again.
    do {
        if (ask.exec() != QDialog::Accepted)
            return;
    } while (!acceptTypedText(m_prompter, {{ask.findChild<QLineEdit*>(), "User name"}}));
    m_chatName = ask.textValue();
    m_session.open(fromQString(login.shopId()), fromQString(login.password()),
                   fromQString(m_chatName));
}

void CChatDlg::sendInput() {
    // A line that cannot be sent as it is typed stays in the input.
    if (!acceptTypedText(m_prompter, {{m_input, "Message"}}))
        return;
    const std::vector<std::string> lines = inputLines(m_input->toPlainText());
    if (!lines.empty() && m_session.send(lines))
        m_input->clear();
}

void CChatDlg::saveScript() {
    const QString path = m_chooseFile(this, m_scriptPath);
    if (!path.isEmpty() && !m_session.saveScript(path))
        m_prompter.showMessage(notWrittenText(path));
}

void CChatDlg::showLines(int first, bool selectLast) {
    const std::vector<std::string>& script = m_session.script();
    for (size_t i = size_t(first); i < script.size(); ++i)
        m_lines->addItem(toQString(script[i]));
    if (selectLast && m_lines->count() > 0) {
        m_lines->setCurrentRow(m_lines->count() - 1);
        m_lines->scrollToBottom();
    }
}

void CChatDlg::showConnected(bool connected) {
    m_connect->setText(connected ? "Disconnect" : "Connect");
    m_send->setEnabled(connected);
}

void CChatDlg::reject() {
    // Escape and the close box act like "Exit": the session is closed first.
    if (m_ended)
        QDialog::reject();
    else
        m_session.exit();
}

void CChatDlg::end() {
    m_ended = true;
    close();
}

} // namespace quillon
