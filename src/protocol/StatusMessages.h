#pragma once

#include "protocol/Message.h"
#include "protocol/SessionDetails.h"

#include <cstdint>
#include <string>

namespace quillon {

// 11/9, plain: the network asks order server 2 for the shop's set-up.
class StatusQuery : public Message {
public:
    StatusQuery();

    std::string shopId; // must equal the shop's own
};

// 11/9, plain: the shop's answer; the settings only when result is 1.
class StatusAnswer : public Message {
public:
    StatusAnswer();

    int32_t result = 0; // 1 matched, -1 not
    SessionDetails details;
    std::string shopId;
    int32_t writeTest = 0; // 1 when the root folder took a test file
};

} // namespace quillon
