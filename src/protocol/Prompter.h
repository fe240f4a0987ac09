#pragma once

#include <string>

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

} // namespace quillon
