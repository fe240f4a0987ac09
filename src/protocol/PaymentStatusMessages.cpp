#include "protocol/PaymentStatusMessages.h"

namespace quillon {

PaymentStatusRequest::PaymentStatusRequest() : Message(6, 4) {
    addField(&reference1);
    addField(&reference2);
    addField(&orderNumber);
}

PaymentStatusAnswer::PaymentStatusAnswer() : Message(6, 4) {
    addField(&result);
    addField(&paymentCode);
    addField(&paymentText1);
    addField(&paymentText2);
}

} // namespace quillon
