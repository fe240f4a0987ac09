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

// The file starts with one 32-bit version value.
inline constexpr size_t kDatabaseHeaderSize = 4;

void appendDatabaseHeader(std::string& out, uint32_t header);
void appendOrderRecord(std::string& out, const OrderEntry& order);

// Parses whole records from the front of `bytes`, appends them to `out`
// when it is given, counts them in `records` and returns the bytes they
// take. Stops at the first record that is cut short or corrupt. Nothing is
// sized from a count or a length without checking it against the bytes
// that remain. With `loaded`, the orders' pictures are added to it and
// their lists are compact.
size_t parseOrderRecords(std::string_view bytes, std::vector<std::unique_ptr<OrderEntry>>* out,
                         size_t& records, const std::shared_ptr<LoadedPictures>& loaded = {});

} // namespace quillon
