#include "protocol/OrderCheckMessages.h"

namespace quillon {

OrderCheckRequest::OrderCheckRequest() : Message(6, 2) {
    addField(&reference1);
    addField(&reference2);
}

OrderCheckAnswer::OrderCheckAnswer() : Message(6, 2) {
    addField(&result);
    addField(&shipping1);
    addField(&shipping2);
    addField(&shipping3);
}

} // namespace quillon
