// The transaction history: the response fields and the rows packet as the
// shop reads them, and the request fields as a simulated service reads them.
#include "protocol/HistoryMessage.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    HistoryMessage history;
    history.decodeList(NamedList::Request, bytes);
    history.decodeList(NamedList::Response, bytes);
    history.setRowData(ByteData(std::string_view(reinterpret_cast<const char*>(data), size)));
    // Each row takes at least 4 bytes, so no more rows than that can come.
    size_t rows = 0;
    for (int rc = history.firstRow(); rc == 0; rc = history.nextRow())
        if (++rows > size / 4 + 1)
            __builtin_trap();
    return 0;
}
