// The header that announces each picture file on order server 1.
#include "protocol/FileHeader.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto decoded = decodeFileHeader(std::span(data, size));
    if (decoded.used > size || (decoded.ok && decoded.value.name.size() + 20 > decoded.used))
        __builtin_trap();
    return 0;
}
