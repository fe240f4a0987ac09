#pragma once

#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// 6/4, plain: the shop asks how a completed order was paid.
class PaymentStatusRequest : public Message {
public:
    PaymentStatusRequest();

    std::string reference1;
    std::string reference2;
    std::string orderNumber;
};

// 6/4, plain.
class PaymentStatusAnswer : public Message {
public:
    PaymentStatusAnswer();

    int32_t result = 0;
    int32_t paymentCode = 0; // 1 paid, 2 sandbox, else outstanding
    std::string paymentText1;
    std::string paymentText2;
};

} // namespace quillon
