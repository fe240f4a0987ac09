#pragma once

#include "orders/OrderEntry.h"

#include <string>
#include <string_view>

namespace quillon {

// Finds orders by a typed text: an order matches when its number, its
// customer's address or one of its pictures' file names contains the text,
// whatever the letters' case (Windows-1252 letters included).
class OrderFilter {
public:
    explicit OrderFilter(std::string_view text = {});

    // An empty text matches every order.
    bool empty() const { return m_folded.empty(); }
    bool matches(const OrderEntry& order) const;
    // The text in lower case, as every text is compared.
    const std::string& folded() const { return m_folded; }
    // Appends `text` in lower case to `out`.
    static void appendFolded(std::string_view text, std::string& out);

private:
    bool foundIn(std::string_view text) const;

    std::string m_folded;
    unsigned char m_first = 0;
    unsigned char m_firstOther = 0; // the first letter's other case
};

} // namespace quillon
