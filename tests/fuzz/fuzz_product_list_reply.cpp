// The framed reply to the product list fetch, and the product blob of the
// product list update.
#include "protocol/ProductListFetch.h"
#include "protocol/ProductListWire.h"
#include "protocol/WireReader.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    auto reply = decodeProductListReply(bytes);
    if (reply.used > size)
        __builtin_trap();
    // The entries that decoded encode again and decode to the same bytes.
    ByteData again = encodeProductList(reply.value);
    auto copy = decodeProductEntries(bytesOf(again), uint32_t(reply.value.size()));
    if (!copy.ok || copy.used != again.size() ||
        encodeProductList(copy.value).view() != again.view())
        __builtin_trap();
    uint32_t count = size >= 4 ? uint32_t(data[0]) | uint32_t(data[1]) << 8 : 0;
    auto entries = decodeProductEntries(bytes.subspan(size >= 4 ? 4 : size), count);
    if (entries.used > size || entries.value.size() > count)
        __builtin_trap();
    return 0;
}
