#include "core/StatusLines.h"

#include "core/Logs.h"
#include "orders/Clock.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"

#include <QMetaObject>
#include <QTimer>

namespace quillon {

namespace {

class QueuedPrompter : public Prompter {
public:
    explicit QueuedPrompter(StatusLines* status) : m_status(status) {}
    void showMessage(const std::string& text) override {
        // Dropped with the status lines if they go first.
        StatusLines* status = m_status;
        QMetaObject::invokeMethod(
            status, [status, text] { status->showMessages({text}); }, Qt::QueuedConnection);
    }
    bool askYesNo(const std::string& text) override {
        showMessage(text);
        return false;
    }

private:
    StatusLines* m_status;
};

} // namespace

StatusLines::StatusLines(const Clock& clock, Prompter& prompter, QObject* parent)
    : QObject(parent), m_clock(clock), m_prompter(prompter),
      m_queuedPrompter(std::make_unique<QueuedPrompter>(this)) {}

StatusLines::~StatusLines() = default;

void StatusLines::add(const std::string& text) {
    m_lines.push_back(formatStatusLine(m_clock.localNow(), text));
    emit lineAdded(toQString(m_lines.back()));
}

void StatusLines::showMessages(const std::vector<std::string>& texts) {
    if (texts.empty() || m_closed)
        return;
    for (const std::string& text : texts)
        m_messages.push_back({text, false});
    showSoon();
}

void StatusLines::reportInStatusLineAndMessage(const std::string& text) {
    add(text);
    if (m_closed)
        return;
    m_messages.push_back({text, true});
    showSoon();
}

void StatusLines::showSoon() {
    if (!m_showingMessage)
        QTimer::singleShot(0, this, &StatusLines::showNextMessage);
}

void StatusLines::close() {
    m_closed = true;
    m_messages.clear();
}

void StatusLines::showNextMessage() {
    if (m_showingMessage || m_messages.empty() || m_closed)
        return;
    m_showingMessage = true;
    const QueuedMessage message = m_messages.front();
    m_messages.pop_front();
    m_showingStatusLine = message.inStatusLines;
    // A message box runs a loop of its own; the next one waits for it.
    m_prompter.showMessage(message.text);
    m_showingStatusLine = false;
    m_showingMessage = false;
    if (!m_messages.empty())
        QTimer::singleShot(0, this, &StatusLines::showNextMessage);
}

} // namespace quillon
