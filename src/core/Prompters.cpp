#include "core/Prompters.h"

#include "netlib/AnsiText.h"

#include <cstdio>

namespace quillon {

void HeadlessPrompter::showMessage(const std::string& text) {
    std::fprintf(stderr, "Quillon: %s\n", ansiToUtf8(text).c_str());
    if (m_sink)
        m_sink(text);
}

bool HeadlessPrompter::askYesNo(const std::string& text) {
    showMessage(text + " (answered No: no one to ask)");
    return false;
}

void RecordingPrompter::showMessage(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_messages.push_back(text);
}

bool RecordingPrompter::askYesNo(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_messages.push_back(text);
    return m_answer;
}

std::vector<std::string> RecordingPrompter::messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

} // namespace quillon
