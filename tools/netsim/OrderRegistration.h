#pragma once

#include "ShopConversation.h"

#include <string>

namespace quillon {

class NewOrderAnswer;

// What the network tells order server 2 about a new order.
struct Registration {
    int shopNumber = 0;
    std::string reference1;
    std::string reference2;
    std::string email;
};

// The new-order registration (6/1): true when the conversation completed,
// whatever result the shop gave; `answer` then holds its six fields.
bool registerOrder(const ShopEndpoint& shop, const Registration& registration,
                   NewOrderAnswer& answer, std::string& error);

} // namespace quillon
