#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon {

struct ItemQuantity {
    uint32_t code = 0;
    uint32_t quantity = 0;
    bool operator==(const ItemQuantity&) const = default;
};

// One picture of an order's item list: its file name and what is ordered
// of it.
struct ItemListPicture {
    std::string name;
    std::vector<ItemQuantity> items;
    bool operator==(const ItemListPicture&) const = default;
};

using ItemList = std::vector<ItemListPicture>;

// u32 count; per picture u32 L, L bytes of NUL-terminated name, u32 n, n
// pairs of u32 code and quantity. A picture that would run past the input
// stops decoding with ok false; the pictures before it are kept.
Decoded<ItemList> decodeItemList(std::span<const uint8_t> bytes);
ByteData encodeItemList(const ItemList& pictures);

} // namespace quillon
