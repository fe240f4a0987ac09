#pragma once

#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// 2/0, session: the session block (shop ID, empty tokens) twice in a row,
// then the encrypted password.
class LoginRequest : public Message {
public:
    LoginRequest();

    std::string password;
};

// 2/0, session: block, returncode, block, the service's own message. Both
// blocks land in sessionBlock(), so the tokens are those of the second.
class LoginResponse : public Message {
public:
    LoginResponse();

    int32_t returncode = 0;
    std::string message;
};

} // namespace quillon
