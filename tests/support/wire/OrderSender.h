#pragma once

#include "protocol/ItemList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The network's sending side of order server 1, for tests that check the
// shop's acknowledgements exactly and make the sender misbehave on purpose.
struct OrderToSend {
    std::string title = "Order summary";
    std::string reference1 = "REF-1";
    std::string reference2 = "REF-2";
    std::string customer = "ann@example.com";
    std::string orderNumber;
    std::string folder;
    float taxRate = 0.0f;
    int32_t blockSize = 4096;
    quillon::ItemList items;
    struct File {
        std::string name;
        std::string data;
    };
    std::vector<File> files;
    // Misbehaviour.
    int disconnectAfterFiles = -1; // close after this many whole files
    size_t extraBytesInLastBlock = 0;
    int64_t stallAfterBytes = -1; // file bytes sent before falling silent
};

struct SendResult {
    bool connected = false;
    std::vector<int32_t> acks; // every acknowledgement, in order
    bool closedByShop = false; // the shop closed after the last file (or the stall)
};

SendResult sendOrder(int port, const OrderToSend& order);

} // namespace testsupport
