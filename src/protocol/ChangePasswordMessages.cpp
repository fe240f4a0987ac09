#include "protocol/ChangePasswordMessages.h"

namespace quillon {

ChangePasswordRequest::ChangePasswordRequest() : Message(4, 3) {
    addField(&sessionBlock());
    addField(&shopId);
    addField(&oldPassword);
    addField(&newPassword);
}

} // namespace quillon
