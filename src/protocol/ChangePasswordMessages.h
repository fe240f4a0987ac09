#pragma once

#include "protocol/Message.h"
#include "protocol/SessionReturnResponse.h"

#include <string>

namespace quillon {

// 4/3, session: the session block, the shop ID and both passwords
// (encrypted).
class ChangePasswordRequest : public Message {
public:
    ChangePasswordRequest();

    std::string shopId;
    std::string oldPassword;
    std::string newPassword;
};

// 4/3, session.
class ChangePasswordResponse : public SessionReturnResponse {
public:
    ChangePasswordResponse() : SessionReturnResponse(4, 3) {}
};

} // namespace quillon
