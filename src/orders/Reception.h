#pragma once

#include "orders/OrderEntry.h"
#include "protocol/ProductItem.h"

#include <functional>
#include <memory>
#include <string>

namespace quillon {

class Clock;
class FolderRegistry;
class PluginHost;
class Socket;

// How a reception reports back. The callbacks run on the worker thread;
// the shop turns them into queued calls to its own thread.
struct ReceptionEvents {
    // The order arrived; ownership passes with it.
    std::function<void(std::unique_ptr<OrderEntry>)> completed;
    // File k of n is stored.
    std::function<void(int rowId, int k, int n, const std::string& orderNumber)> progress;
    // The order was refused or cut short; its entry is for the message only,
    // `reason` says why.
    std::function<void(std::unique_ptr<OrderEntry>, const std::string& reason)> aborted;
};

// The longest a reception waits for its sender between two reads (and for
// a send to drain) before it gives the order up.
constexpr int kReceptionIdleLimitMs = 120000;

// Everything one reception worker needs; it owns the connection.
struct ReceptionParams {
    // Shared with the shop, which may abort it to end the worker.
    std::shared_ptr<Socket> connection;
    const PluginHost* plugins = nullptr;
    std::shared_ptr<const ProductList> products;
    int rowId = -1;
    // Where order folders may be made: inside the root folder, or a folder
    // handed out at registration.
    std::string rootpath;
    const FolderRegistry* handedOut = nullptr;
    const Clock* clock = nullptr;
    // Thumbnails and the summary; off only to measure the transfer alone.
    bool makeSummary = true;
    // The largest item list accepted from a sender.
    size_t maxItemListSize = size_t(16) << 20;
    int idleLimitMs = kReceptionIdleLimitMs;
    ReceptionEvents events;
};

// Receives one order on an accepted order server 1 connection: header,
// item list, folder, picture files block by block, amount, thumbnails and
// summary, plug-in steps; then reports completion or abortion. Runs on its
// own worker thread until the order is done.
void receiveOrder(ReceptionParams params);

// The order's amount from its linked item lines: the sum of quantity x
// price in single precision, with the tax rate added.
float orderAmount(const OrderEntry& order);

// Links every item line to the first product with its code.
void linkProducts(OrderEntry& order, const ProductList* products);

} // namespace quillon
