// The item list body that follows the order header.
#include "protocol/ItemList.h"
#include "protocol/WireReader.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto decoded = decodeItemList(std::span(data, size));
    if (decoded.used > size)
        __builtin_trap();
    // The pictures that decoded encode again and decode to the same.
    ByteData again = encodeItemList(decoded.value);
    auto copy = decodeItemList(bytesOf(again));
    if (!copy.ok || copy.used != again.size() || copy.value != decoded.value)
        __builtin_trap();
    return 0;
}
