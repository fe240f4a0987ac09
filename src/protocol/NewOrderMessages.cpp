#include "protocol/NewOrderMessages.h"

namespace quillon {

NewOrderRequest::NewOrderRequest() : Message(6, 1) {
    addField(&unused);
    addField(&shopNumber);
    addField(&reference1);
    addField(&reference2);
    addField(&customerEmail);
    addField(&unused2);
    addField(&unused3);
}

NewOrderAnswer::NewOrderAnswer() : Message(6, 1) {
    addField(&result);
    addField(&folder);
    addField(&orderNumber);
    addField(&shippingFlag1);
    addField(&shippingFlag2);
    addField(&trustedCustomer);
}

} // namespace quillon
