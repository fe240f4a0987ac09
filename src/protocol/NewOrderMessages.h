#pragma once

#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// 6/1, plain: the network registers an order with the shop.
class NewOrderRequest : public Message {
public:
    NewOrderRequest();

    int32_t unused = 0;
    int32_t shopNumber = 0;
    std::string reference1;
    std::string reference2;
    std::string customerEmail;
    uint32_t unused2 = 0;
    uint32_t unused3 = 0;
};

// 6/1, plain: the shop's answer with the number and folder to use.
class NewOrderAnswer : public Message {
public:
    NewOrderAnswer();

    int32_t result = 0; // 1 accepted
    std::string folder;
    std::string orderNumber;
    uint32_t shippingFlag1 = 0;
    uint32_t shippingFlag2 = 0;
    int32_t trustedCustomer = 0;
};

} // namespace quillon
