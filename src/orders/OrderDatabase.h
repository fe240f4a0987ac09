#pragma once

#include "orders/OrderEntry.h"
#include "orders/OrderRecordCodec.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

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

// The order database file: a header and one record per order, appended as
// orders arrive and rewritten whole only after the midnight purge. Not
// thread-safe; the order book serialises the calls.
class OrderDatabase {
public:
    OrderDatabase(std::string path, uint32_t header);

    const std::string& path() const { return m_path; }

    // Reads the file through a large buffer and appends its whole records
    // to `out`, in file order. A torn or corrupt tail is left on disk until the next
    // append cuts it off; a file with a wrong header is left alone.
    OrderDatabaseScan load(std::vector<std::unique_ptr<OrderEntry>>& out);

    // Appends one record, creating the file with its header when it is
    // missing. False when nothing was stored: the file cannot be opened or
    // written, or it is not an order database.
    bool append(const OrderEntry& order);

    // Replaces the file with the header and these records, through a
    // temporary file renamed over it.
    bool rewrite(const std::vector<std::unique_ptr<OrderEntry>>& orders);

private:
    std::string m_path;
    uint32_t m_header;
    // Where the last whole record ends, when this run knows it; a file of
    // another size has changed behind our back or carries a torn tail.
    std::optional<uint64_t> m_wholeEnd;
};

} // namespace quillon
