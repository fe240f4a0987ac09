#include "protocol/LoginMessages.h"

namespace quillon {

LoginRequest::LoginRequest() : Message(2, 0) {
    addField(&sessionBlock());
    addField(&sessionBlock());
    addField(&password);
}

LoginResponse::LoginResponse() : Message(2, 0) {
    addField(&sessionBlock());
    addField(&returncode);
    addField(&sessionBlock());
    addField(&message);
}

} // namespace quillon
