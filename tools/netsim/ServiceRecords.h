#pragma once

#include "protocol/ProductItem.h"
#include "protocol/ShopInfoMessages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One order of a shop's transaction history, as the history request lists it.
struct HistoryRow {
    std::string orderNumber;
    std::string customer;
    float amount = 0.0f;
    float tax = 0.0f;
    int32_t date = 0; // YYMMDD
    int32_t time = 0; // HHMM
    int32_t status = 2;
    std::string payment;
};

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
    std::vector<HistoryRow> history;
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
