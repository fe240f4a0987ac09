#pragma once

#include <string>

namespace quillon {

// Where the shop's order servers listen.
struct ShopEndpoint {
    std::string host = "127.0.0.1";
    int port = 0;
    int idleMs = 30000; // longest wait for each step of the shop
};

} // namespace quillon
