// The order header that the sending side sends to order server 1.
#include "protocol/OrderHeader.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrderHeader header;
    int used = header.decode(std::span(data, size));
    if (used != -2 && (used < 16 || size_t(used) > size))
        __builtin_trap();
    if (used > 0) {
        ByteData again = header.encode();
        OrderHeader copy;
        if (copy.decode(again) != int(again.size()) || copy.encode().view() != again.view())
            __builtin_trap();
    }
    return 0;
}
