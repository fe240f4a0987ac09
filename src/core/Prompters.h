#pragma once

#include "protocol/Prompter.h"

#include <functional>
#include <string>

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

} // namespace quillon
