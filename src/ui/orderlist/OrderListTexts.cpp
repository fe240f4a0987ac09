#include "ui/orderlist/OrderListTexts.h"

#include "orders/Clock.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace quillon {

std::string orderSummaryText(const OrderEntry& order) {
    // "(Items: %d  Amount: %1.2f)", without printf's cost: a long list makes
    // one for every order when it is laid out.
    char text[96] = "(Items: ";
    char* const end = text + sizeof text - 2;
    char* p = std::to_chars(text + 8, end, order.itemCount).ptr;
    for (char c : std::string_view("  Amount: "))
        *p++ = c;
    p = std::to_chars(p, end, double(order.amount), std::chars_format::fixed, 2).ptr;
    *p++ = ')';
    return std::string(text, size_t(p - text));
}

std::string receivedText(uint32_t received) {
    const std::tm local = Clock::localTime(received);
    char text[64];
    std::snprintf(text, sizeof text, "Received %02d.%02d.%02d %02d:%02d",
                  local.tm_year + 1900 - 2000, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min);
    return text;
}

std::string pictureCaption(const PictureView& picture) {
    // Quantities come from the sender: summed wide, so no count wraps.
    long long sum = 0;
    for (const ItemLine& item : picture.items)
        sum += item.quantity;
    return std::string(picture.fileName) + " (" + std::to_string(sum) + ")";
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
