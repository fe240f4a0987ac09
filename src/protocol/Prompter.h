#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

// Modal message boxes, as the requests and the shop need them. The window
// shows them with the caption "Quillon"; a headless shop writes them out;
// tests record them.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void showMessage(const std::string& text) = 0;
    // True for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

// Shows nothing and answers No: for callers that have no one to ask.
class SilentPrompter : public Prompter {
public:
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
};

// Keeps the messages of a request that runs away from the window, so they
// can be shown once its outcome is back; questions are answered No.
class CollectingPrompter : public Prompter {
public:
    void showMessage(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(text);
    }
    bool askYesNo(const std::string& text) override {
        showMessage(text);
        return false;
    }
    std::vector<std::string> take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_messages, {});
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_messages;
};

} // namespace quillon
