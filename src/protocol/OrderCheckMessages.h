#pragma once

#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// 6/2, plain: the shop asks the central service about an order.
class OrderCheckRequest : public Message {
public:
    OrderCheckRequest();

    std::string reference1;
    std::string reference2;
};

// 6/2, plain: the result and the shipping details for the plug-ins.
class OrderCheckAnswer : public Message {
public:
    OrderCheckAnswer();

    int32_t result = 0;
    std::string shipping1;
    std::string shipping2;
    std::string shipping3;
};

} // namespace quillon
