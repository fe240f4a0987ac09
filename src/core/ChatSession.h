#pragma once

#include "core/RequestRunner.h"
#include "protocol/CentralService.h"
#include "protocol/ChatRequests.h"
#include "protocol/SessionDetails.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <string>
#include <vector>

namespace quillon {

// A live chat with the network's staff, as the chat window runs it: every
// action (open, send, poll, close) runs on a worker of its own with its own
// connection, and its outcome comes back to this object's thread. While
// connected it polls every 5 seconds. The conversation is kept as the
// window's lines (the script); the password is kept nowhere.
class ChatSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 5000;
    // "Exit" when the service did not answer the close.
    static constexpr char kChatClosedHereText[] =
        "The chat service could not be reached. The chat window was closed without ending the "
        "session.";

    ChatSession(ServiceEndpoint chat, std::string shopId, QObject* parent = nullptr);

    void setSessionDetails(const SessionDetails& details) { m_details = details; }
    const std::string& shopId() const { return m_shopId; }
    bool isConnected() const { return m_connected; }
    bool isPolling() const { return m_pollTimer.isActive(); }
    bool isOpening() const;
    // For tests: polls sooner.
    void setPollInterval(int ms) { m_pollTimer.setInterval(ms); }

    // Opens a session for `shopId` under the chat name `name`. False while
    // connected or while an opening runs.
    bool open(const std::string& shopId, const std::string& password, const std::string& name);
    // Adds "[name]" and the lines to the script, then sends them as one
    // record. False when not connected.
    bool send(const std::vector<std::string>& lines);
    // Stops polling and closes the session at the service.
    void close();
    // "Exit": closes the session first when there is one, then ended(),
    // which a close the service does not answer does not hold up.
    void exit();

    const std::vector<std::string>& script() const { return m_script; }
    bool saveScript(const QString& path) const;

signals:
    // Script lines from `first` on are new; with `selectLast` the window
    // selects the last one.
    void linesAdded(int first, bool selectLast);
    void connectedChanged(bool connected);
    // Boxes to show, emitted once the event loop is free.
    void messagesToShow(const QStringList& texts);
    // "Exit" is done: the window closes.
    void ended();

private:
    void poll();
    void closed(ChatOutcome outcome);
    void opened(const std::vector<ChatLinePair>& pairs);
    void addRecords(const std::vector<ChatRecord>& records, bool selectLast);
    void addLines(const std::vector<std::string>& lines, bool selectLast);
    void setConnected(bool connected);
    void showLater(const std::vector<std::string>& messages);
    void endLater();

    ServiceEndpoint m_chat;
    std::string m_shopId;
    std::string m_name;
    SessionDetails m_details;
    bool m_connected = false;
    bool m_closing = false;
    std::vector<std::string> m_script;
    QTimer m_pollTimer;
    // Declared last, so it is destroyed first: it waits for its workers.
    RequestRunner m_requests;
};

} // namespace quillon
