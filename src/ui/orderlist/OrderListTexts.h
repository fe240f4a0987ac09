#pragma once

#include "orders/OrderEntry.h"

#include <string>

namespace quillon {

// The texts of the order list's rows, in the shop's 8-bit encoding.

// "(Items: 3  Amount: 12.50)"
std::string orderSummaryText(const OrderEntry& order);
// "Received 24.05.17 09:30": two-digit year, month, day, local time.
std::string receivedText(uint32_t received);
// "IMG_1001.jpg (3)": the file name and the sum of its quantities.
std::string pictureCaption(const PictureView& picture);
std::string quantityText(const ItemLine& item);
// The product's description, or "[000042]" for a code without a product.
std::string itemDescription(const ItemLine& item);

} // namespace quillon
