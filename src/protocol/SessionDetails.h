#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// The shop's settings as the chat opening and the status answer report
// them, plus the off-line flag (1 while the order servers are not running).
struct SessionDetails {
    int32_t attach = 0;
    std::string body;
    int32_t currentNumber = 0;
    std::string email;
    int32_t fontSize = 0;     // 0 or 1
    int32_t notification = 0; // 0 or 1
    int32_t numDigit = 0;
    std::string postfix;
    std::string prefix;
    int32_t purge = 0;
    int32_t rootOrderNumber = 0;
    std::string rootPath;
    std::string sender;
    int32_t showLast = 0; // 0 or 1
    std::string smtp;
    int32_t status = 0;
    std::string subject;
    int32_t wrapAround = 0;
    int32_t offline = 0;
};

} // namespace quillon
