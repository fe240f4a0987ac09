#pragma once

#include "orders/OrderEntry.h"
#include "protocol/ProductItem.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

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
