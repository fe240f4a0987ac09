#pragma once

#include "protocol/Prompter.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Records every message and question (from any thread); questions are
// answered No unless a test says Yes.
class RecordingPrompter : public quillon::CollectingPrompter {
public:
    bool askYesNo(const std::string& text) override {
        CollectingPrompter::askYesNo(text);
        return m_answer;
    }
    void setAnswer(bool yes) { m_answer = yes; }

    // Everything shown so far, oldest first.
    std::vector<std::string> messages() {
        std::lock_guard lock(m_mutex);
        for (std::string& message : take())
            m_seen.push_back(std::move(message));
        return m_seen;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_seen;
    std::atomic<bool> m_answer{false};
};

} // namespace testsupport
