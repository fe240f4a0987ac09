#pragma once

#include "protocol/HistoryMessage.h"
#include "protocol/ProductItem.h"
#include "protocol/ShopInfoMessages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// A shop known to the network.
struct ShopRecord {
    int number = 0;
    std::string shopId; // the ticket mailed to the shop
    std::string name;
    std::string password; // encrypted, as the shop sends it
    std::string email;
    bool confirmed = false;
    ShopInfo info;
    ProductList products;
    std::vector<HistoryRecord> history;
};

// An order that the network registered, found by its two references.
struct OrderRecord {
    std::string reference1;
    std::string reference2;
    int32_t checkResult = 1;
    std::string shipping1;
    std::string shipping2;
    std::string shipping3;
    std::string orderNumber; // as the shop reported it
    int32_t paymentCode = 1;
    std::string paymentText1;
    std::string paymentText2;
};

} // namespace quillon

namespace quillon {

// Everything the service keeps between runs.
struct NetworkData {
    std::vector<ShopRecord> shops;
    std::vector<OrderRecord> orders;
    // Order references that the order check refuses.
    std::vector<std::string> refusedReferences;
};

} // namespace quillon
