// The blobs of the chat replies: line pairs and chat records.
#include "protocol/ChatBlobs.h"
#include "protocol/WireReader.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    auto pairs = decodeLinePairs(bytes);
    auto records = decodeChatRecords(bytes);
    if (pairs.used > size || records.used > size)
        __builtin_trap();
    // Whole entries encode again and decode to the same.
    ByteData pairBytes = encodeLinePairs(pairs.value);
    ByteData recordBytes = encodeChatRecords(records.value);
    auto pairsAgain = decodeLinePairs(bytesOf(pairBytes));
    auto recordsAgain = decodeChatRecords(bytesOf(recordBytes));
    if (!pairsAgain.ok || pairsAgain.value != pairs.value || !recordsAgain.ok ||
        recordsAgain.value != records.value)
        __builtin_trap();
    return 0;
}
