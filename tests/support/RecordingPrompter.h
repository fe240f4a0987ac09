#pragma once

#include "protocol/Prompter.h"

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Records every message and question (from any thread) and answers
// questions with `setAnswer`'s value, No at first.
class RecordingPrompter : public quillon::Prompter {
public:
    void showMessage(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(text);
    }
    bool askYesNo(const std::string& text) override {
        showMessage(text);
        std::lock_guard lock(m_mutex);
        return m_answer;
    }
    std::vector<std::string> messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    void setAnswer(bool yes) {
        std::lock_guard lock(m_mutex);
        m_answer = yes;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    bool m_answer = false;
};

} // namespace testsupport
