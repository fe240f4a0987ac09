#pragma once

#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// 6/3, plain: the shop reports the number it gave an order.
class OrderNumberReport : public Message {
public:
    OrderNumberReport();

    std::string reference1;
    std::string reference2;
    int32_t reserved = 0; // always 0
    std::string orderNumber;
};

// 6/3, plain.
class OrderNumberAnswer : public Message {
public:
    OrderNumberAnswer();

    int32_t result = 0;
};

} // namespace quillon
