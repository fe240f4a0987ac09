#pragma once

#include "orders/OrderEntry.h"
#include "protocol/ProductItem.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Appends a single-byte (Latin-1) text as UTF-8 character data, with the
// markup characters escaped. Line breaks become character references so a
// value never splits a line of the log; other control characters, which
// XML cannot carry, become U+FFFD.
void appendXmlText(std::string& out, std::string_view latin1);

// The XML order log of these orders, every line ending in CR LF. An item
// carries its product's description when `products` holds its code.
std::string orderLogText(const std::vector<std::unique_ptr<OrderEntry>>& orders,
                         const ProductList* products);

// Writes the XML order log to `path`, replacing any file there through a
// temporary file. 1 on success, 0 when the file cannot be created.
int writeOrderLogFile(const std::string& path,
                      const std::vector<std::unique_ptr<OrderEntry>>& orders,
                      const ProductList* products);

} // namespace quillon
