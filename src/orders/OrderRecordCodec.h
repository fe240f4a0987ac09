#pragma once

#include "orders/OrderEntry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Longest text the order database keeps; longer texts are cut to this on
// writing, and a longer length field marks a damaged record on reading.
inline constexpr size_t kMaxStoredText = 1007;

// What a read of the order database found.
struct OrderDatabaseScan {
    enum class State {
        Missing,     // no file, or it cannot be read
        NoHeader,    // empty, or cut short inside the header
        WrongHeader, // not an order database of this version
        Whole,       // header and whole records up to the end
        Damaged,     // whole records, then a torn or corrupt one
    };
    State state = State::Missing;
    size_t wholeEnd = 0; // bytes taken by the header and the whole records
    size_t records = 0;  // whole records found
};

void appendDatabaseHeader(std::string& out, uint32_t header);
void appendOrderRecord(std::string& out, const OrderEntry& order);

// Parses the bytes of an order database. The whole records are appended to
// `out` in file order when it is given; nothing is sized from a count or a
// length without checking it against the bytes that remain.
OrderDatabaseScan parseOrderDatabase(std::string_view bytes, uint32_t header,
                                     std::vector<std::unique_ptr<OrderEntry>>* out);

} // namespace quillon
