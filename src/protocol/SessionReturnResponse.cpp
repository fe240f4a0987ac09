#include "protocol/SessionReturnResponse.h"

namespace quillon {

SessionReturnResponse::SessionReturnResponse(int32_t kind, int32_t subkind)
    : Message(kind, subkind) {
    addField(&sessionBlock());
    addField(&returncode);
}

} // namespace quillon
