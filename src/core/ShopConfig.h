#pragma once

#include "core/OrderServer.h"
#include "core/ReceptionPool.h"
#include "orders/Reception.h"

#include <functional>
#include <string>

namespace quillon {

// Where the shop listens, and the fixed folders and ports it uses. Tests
// change the ports (0 picks a free one) and the listen address.
struct ShopConfig {
    std::string workingDirectory;
    int server1Port = 5553;
    int server2Port = 5552;
    std::string listenAddress; // empty: every interface
    int acceptWaitMs = kAcceptWaitMs;
    // Order server 1 takes no more connections while this many receptions
    // run; a reception ends when its sender is silent for the idle limit.
    int maxReceptions = int(ReceptionPool::kDefaultCapacity);
    int receptionIdleLimitMs = kReceptionIdleLimitMs;
    // Thumbnails and summaries of received orders; off only to measure the
    // transfer alone.
    bool makeSummaries = true;
    // A shop without a window: its own status changes are recorded as the
    // headless station's, and it asks no questions.
    bool headless = false;
    // Runs on the loading worker once OE.DB has been read, before the load
    // is over; tests hold the load there.
    std::function<void()> ordersReadHook;
};

} // namespace quillon
