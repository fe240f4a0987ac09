#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"
#include "protocol/ProductItem.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// The raw product list fetch: u32 5, u32 1, the shop ID in the String form
// (L + 12 bytes for an ID of L - 1 characters).
ByteData buildProductListFetch(std::string_view shopId);
// The shop ID of a fetch request; none when the bytes are not one.
std::optional<std::string> parseProductListFetch(std::span<const uint8_t> bytes);

// Body of the framed reply (protocol ID 1): three words that the shop does
// not read (5, 1 and the size of the entries), the entry count at offset
// 12, the entries from offset 16.
ByteData buildProductListReplyBody(const ProductList& list);
// ok false when the count or an entry runs past the body.
Decoded<ProductList> decodeProductListReply(std::span<const uint8_t> body);

} // namespace quillon
