#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class Clock;
class Prompter;

// The shop's status lines, and the messages it shows one after another
// through the prompter. Lives on the user-interface thread; other threads
// hand their messages over through queuedPrompter().
class StatusLines : public QObject {
    Q_OBJECT
public:
    StatusLines(const Clock& clock, Prompter& prompter, QObject* parent = nullptr);
    ~StatusLines() override;

    // Adds `text` with the time stamp of now.
    void add(const std::string& text);
    const std::vector<std::string>& lines() const { return m_lines; }

    // Shows the messages one after another through the prompter, once the
    // event loop is free, never from inside a handler.
    void showMessages(const std::vector<std::string>& texts);
    // Adds a status line and shows the same text as a message.
    void reportInStatusLineAndMessage(const std::string& text);
    // True while the message being shown is also a status line already, so
    // a prompter that writes messages into the status lines leaves it out.
    bool showingStatusLineMessage() const { return m_showingStatusLine; }
    // The shop has shut down: messages not shown yet are dropped, and no
    // more are shown.
    void close();

    // A prompter for work on other threads: each message is queued here and
    // shown when this thread is free; a question is shown and answered no.
    Prompter& queuedPrompter() { return *m_queuedPrompter; }

signals:
    void lineAdded(const QString& line);

private:
    struct QueuedMessage {
        std::string text;
        bool inStatusLines = false;
    };
    // Shows the next message once the event loop is free.
    void showSoon();
    void showNextMessage();

    const Clock& m_clock;
    Prompter& m_prompter;
    std::unique_ptr<Prompter> m_queuedPrompter;
    std::vector<std::string> m_lines;
    std::deque<QueuedMessage> m_messages;
    bool m_showingMessage = false;
    bool m_showingStatusLine = false;
    bool m_closed = false;
};

} // namespace quillon
