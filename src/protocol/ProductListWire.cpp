#include "protocol/ProductListWire.h"

#include "protocol/WireWriter.h"

#include <algorithm>

namespace quillon {

namespace {

// Code, price and the description's length word.
constexpr size_t kMinEntrySize = 12;

} // namespace

ByteData encodeProductList(const ProductList& list) {
    ByteData out;
    for (const ProductItem& p : list) {
        appendI32(out, p.code);
        appendFloat(out, p.price);
        appendLengthText(out, p.description);
    }
    return out;
}

Decoded<ProductList> decodeProductEntries(std::span<const uint8_t> bytes, uint32_t count) {
    Decoded<ProductList> result;
    WireReader in(bytes);
    result.value.reserve(std::min<size_t>(count, in.remaining() / kMinEntrySize));
    for (uint32_t i = 0; i < count; ++i) {
        ProductItem item;
        if (!in.readI32(item.code) || !in.readFloat(item.price) ||
            !in.readLengthText(item.description))
            return result;
        result.value.push_back(std::move(item));
        result.used = in.offset();
    }
    result.ok = true;
    return result;
}

} // namespace quillon
