#include "protocol/ProductListFetch.h"

#include "protocol/ProductListWire.h"
#include "protocol/WireReader.h"
#include "protocol/WireWriter.h"

namespace quillon {

namespace {

constexpr uint32_t kFetchTag = 5;
constexpr uint32_t kFetchVersion = 1;
constexpr size_t kEntriesOffset = 16;

} // namespace

ByteData buildProductListFetch(std::string_view shopId) {
    ByteData out;
    out.appendU32(kFetchTag);
    out.appendU32(kFetchVersion);
    appendLengthText(out, shopId);
    return out;
}

std::optional<std::string> parseProductListFetch(std::span<const uint8_t> bytes) {
    WireReader in(bytes);
    uint32_t tag = 0, version = 0;
    std::string shopId;
    if (!in.readU32(tag) || tag != kFetchTag || !in.readU32(version) || !in.readLengthText(shopId))
        return std::nullopt;
    return shopId;
}

ByteData buildProductListReplyBody(const ProductList& list) {
    ByteData entries = encodeProductList(list);
    ByteData out;
    out.appendU32(kFetchTag);
    out.appendU32(kFetchVersion);
    out.appendU32(uint32_t(entries.size()));
    out.appendU32(uint32_t(list.size()));
    out.append(entries.data(), entries.size());
    return out;
}

Decoded<ProductList> decodeProductListReply(std::span<const uint8_t> body) {
    WireReader in(body);
    uint32_t count = 0;
    if (!in.skip(12) || !in.readU32(count))
        return {};
    Decoded<ProductList> result = decodeProductEntries(body.subspan(kEntriesOffset), count);
    result.used += kEntriesOffset;
    return result;
}

} // namespace quillon
