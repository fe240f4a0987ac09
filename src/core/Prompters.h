#pragma once

#include "protocol/Prompter.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quillon {

// A shop without a window: each message goes to stderr and to a sink
// (usually the status lines); questions are answered No.
class HeadlessPrompter : public Prompter {
public:
    explicit HeadlessPrompter(std::function<void(const std::string&)> sink = {})
        : m_sink(std::move(sink)) {}
    void setSink(std::function<void(const std::string&)> sink) { m_sink = std::move(sink); }
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

private:
    std::function<void(const std::string&)> m_sink;
};

// Records every message and question, for tests; answers with `answer`.
class RecordingPrompter : public Prompter {
public:
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::vector<std::string> messages() const;
    void setAnswer(bool yes) { m_answer = yes; }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    bool m_answer = false;
};

} // namespace quillon
