#pragma once

#include "core/ChatSession.h"
#include "ui/dialogs/SaveFileChooser.h"

#include <QDialog>
#include <string>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quillon {

class Prompter;

// "Chat": the live chat with the network's staff, a window that stays open
// beside the main window. "Connect" asks for the Shop ID, the password and
// a chat name, then opens the session; while connected the lines typed are
// sent and the staff's answers arrive by themselves. "Exit" closes the
// session first when there is one; when the service cannot be reached the
// window closes all the same, and says so.
class CChatDlg : public QDialog {
    Q_OBJECT
public:
    CChatDlg(const ServiceEndpoint& chat, const std::string& shopId,
             const std::string& workingDirectory, Prompter& prompter, QWidget* parent = nullptr);

    void setSessionDetails(const SessionDetails& details) { m_session.setSessionDetails(details); }
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseFile = std::move(chooser); }
    ChatSession& session() { return m_session; }
    // "Exit" has finished: the window is closing for good.
    bool hasEnded() const { return m_ended; }

    void reject() override;

private:
    void connectOrDisconnect();
    void sendInput();
    void saveScript();
    void showLines(int first, bool selectLast);
    void showConnected(bool connected);
    void end();

    Prompter& m_prompter;
    ChatSession m_session;
    QString m_scriptPath;
    QString m_chatName;
    SaveFileChooser m_chooseFile = askTextFileName;
    bool m_ended = false;
    QListWidget* m_lines;
    QPlainTextEdit* m_input;
    QPushButton* m_connect;
    QPushButton* m_send;
};

} // namespace quillon
