#include "core/ChatSession.h"

#include "core/TextLines.h"
#include "orders/QtText.h"

namespace quillon {

namespace {

constexpr char kOpen[] = "open";
constexpr char kPoll[] = "poll";
constexpr char kClose[] = "close";
constexpr char kSessionEndedText[] = "Chat session ended.";

std::string heading(const std::string& name) {
    return "[" + name + "]";
}

} // namespace

ChatSession::ChatSession(ServiceEndpoint chat, std::string shopId, QObject* parent)
    : QObject(parent), m_chat(std::move(chat)), m_shopId(std::move(shopId)) {
    // A window that goes away does not wait for the chat service.
    m_chat.hangUp = m_requests.hangUp();
    m_pollTimer.setInterval(kPollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &ChatSession::poll);
}

bool ChatSession::isOpening() const {
    return m_requests.isRunning(kOpen);
}

bool ChatSession::open(const std::string& shopId, const std::string& password,
                       const std::string& name) {
    if (m_connected || isOpening())
        return false;
    m_shopId = shopId;
    m_name = name;
    return m_requests.run<ChatOpenResult>(
        kOpen,
        [chat = m_chat, shopId, password, details = m_details](Prompter& p) {
            return openChatSession(chat, p, shopId, password, details);
        },
        [this](RequestOutcome<ChatOpenResult> outcome) {
            opened(outcome.value.pairs);
            showLater(outcome.messages);
        },
        Abandon::Yes);
}

void ChatSession::opened(const std::vector<ChatLinePair>& pairs) {
    for (const ChatLinePair& pair : pairs) {
        setConnected(true);
        m_pollTimer.start();
        addLines({pair.line}, true);
    }
    // "Exit" came while the session was being opened.
    if (m_closing)
        m_connected ? close() : endLater();
}

bool ChatSession::send(const std::vector<std::string>& lines) {
    if (!m_connected)
        return false;
    std::vector<std::string> shown{heading(m_name)};
    shown.insert(shown.end(), lines.begin(), lines.end());
    addLines(shown, true);
    m_requests.run<ChatRecordsResult>(
        "",
        [chat = m_chat, shopId = m_shopId, record = ChatRecord{m_name, lines}](Prompter&) {
            return sendChatLines(chat, shopId, record);
        },
        [this](RequestOutcome<ChatRecordsResult> outcome) {
            addRecords(outcome.value.records, false);
        },
        Abandon::Yes);
    return true;
}

void ChatSession::poll() {
    // A poll still waiting for its answer is not joined by another.
    m_requests.run<ChatRecordsResult>(
        kPoll, [chat = m_chat, shopId = m_shopId](Prompter&) { return pollChat(chat, shopId); },
        [this](RequestOutcome<ChatRecordsResult> outcome) {
            addRecords(outcome.value.records, true);
        },
        Abandon::Yes);
}

void ChatSession::close() {
    m_pollTimer.stop();
    m_requests.run<ChatOutcome>(
        kClose,
        [chat = m_chat, shopId = m_shopId](Prompter& p) {
            return closeChatSession(chat, p, shopId);
        },
        [this](RequestOutcome<ChatOutcome> outcome) {
            closed(outcome.value);
            showLater(outcome.messages);
        },
        Abandon::Yes);
}

void ChatSession::closed(ChatOutcome result) {
    if (result == ChatOutcome::Done || result == ChatOutcome::Refused) {
        // A session the service no longer knows is over here as well.
        if (result == ChatOutcome::Done)
            addLines({kSessionEndedText}, true);
        setConnected(false);
        if (m_closing)
            endLater();
        return;
    }
    // The service did not answer. "Exit" closes the window all the same,
    // once the user has read why; otherwise the session goes on.
    if (m_closing) {
        setConnected(false);
        QTimer::singleShot(0, this, [this] {
            emit messagesToShow({QString::fromLatin1(kChatClosedHereText)});
            emit ended();
        });
        return;
    }
    if (m_connected)
        m_pollTimer.start();
}

void ChatSession::exit() {
    m_closing = true;
    if (m_connected)
        close();
    else if (!isOpening())
        endLater();
}

void ChatSession::addRecords(const std::vector<ChatRecord>& records, bool selectLast) {
    for (const ChatRecord& record : records) {
        std::vector<std::string> shown{heading(record.name)};
        shown.insert(shown.end(), record.lines.begin(), record.lines.end());
        addLines(shown, selectLast);
    }
}

void ChatSession::addLines(const std::vector<std::string>& lines, bool selectLast) {
    const int first = int(m_script.size());
    m_script.insert(m_script.end(), lines.begin(), lines.end());
    emit linesAdded(first, selectLast);
}

void ChatSession::setConnected(bool connected) {
    if (!connected)
        m_pollTimer.stop();
    if (m_connected == connected)
        return;
    m_connected = connected;
    emit connectedChanged(connected);
}

void ChatSession::showLater(const std::vector<std::string>& messages) {
    if (messages.empty())
        return;
    QStringList texts;
    for (const std::string& m : messages)
        texts << toQString(m);
    // The window shows boxes: not inside the runner's delivery.
    QTimer::singleShot(0, this, [this, texts] { emit messagesToShow(texts); });
}

void ChatSession::endLater() {
    QTimer::singleShot(0, this, [this] { emit ended(); });
}

bool ChatSession::saveScript(const QString& path) const {
    return writeTextLines(path, m_script);
}

} // namespace quillon
