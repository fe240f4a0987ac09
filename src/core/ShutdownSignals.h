#pragma once

namespace quillon {

class Shop;

// SIGINT and SIGTERM take the shop's Exit path inside the event loop, so a
// shop stopped from outside still shuts down in order.
void exitOnShutdownSignals(Shop& shop);

} // namespace quillon
