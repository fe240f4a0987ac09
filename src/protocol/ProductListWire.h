#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"
#include "protocol/ProductItem.h"
#include "protocol/WireReader.h"

#include <cstdint>
#include <span>

namespace quillon {

// Product entries back to back: u32 code, single-precision price, then the
// description in the String form. Each entry takes description length + 13.
ByteData encodeProductList(const ProductList& list);

// Reads `count` entries. ok false when one runs past the input; the
// entries before it are kept. The count is never trusted for allocation.
Decoded<ProductList> decodeProductEntries(std::span<const uint8_t> bytes, uint32_t count);

} // namespace quillon
