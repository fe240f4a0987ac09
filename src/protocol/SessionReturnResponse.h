#pragma once

#include "protocol/Message.h"

#include <cstdint>

namespace quillon {

// The answer shape shared by the account requests: the session block and
// a returncode (1 done, -1 session expired, -2 refused).
class SessionReturnResponse : public Message {
public:
    int32_t returncode = 0;

protected:
    SessionReturnResponse(int32_t kind, int32_t subkind);
};

} // namespace quillon
