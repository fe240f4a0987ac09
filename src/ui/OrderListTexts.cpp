#include "ui/OrderListTexts.h"

#include "orders/Clock.h"

#include <cstdio>

namespace quillon {

std::string orderSummaryText(const OrderEntry& order) {
    char text[96];
    std::snprintf(text, sizeof text, "(Items: %d  Amount: %1.2f)", int(order.itemCount),
                  double(order.amount));
    return text;
}

std::string receivedText(uint32_t received) {
    const std::tm local = Clock::localTime(received);
    char text[64];
    std::snprintf(text, sizeof text, "Received %02d.%02d.%02d %02d:%02d",
                  local.tm_year + 1900 - 2000, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min);
    return text;
}

std::string pictureCaption(const PictureEntry& picture) {
    // Quantities come from the sender: summed wide, so no count wraps.
    long long sum = 0;
    for (const ItemLine& item : picture.items)
        sum += item.quantity;
    return picture.fileName + " (" + std::to_string(sum) + ")";
}

std::string quantityText(const ItemLine& item) {
    return std::to_string(item.quantity);
}

std::string itemDescription(const ItemLine& item) {
    if (item.product)
        return item.product->description;
    char text[32];
    std::snprintf(text, sizeof text, "[%06d]", int(item.code));
    return text;
}

} // namespace quillon
