#pragma once

#include "orders/OrderEntry.h"
#include "orders/OrderRecordCodec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class Clock;

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

// A database file holding bytes that could not be read (a torn or corrupt
// record, a foreign header), met before anything cut or replaced them.
struct DatabaseDamage {
    size_t recordsRead = 0; // whole records in front of the damage
    // The copy of the whole file kept next to it; empty when none could be
    // made, and then nothing is cut or written over the file.
    std::string copyPath;
};

// The order database file: a header and one record per order, appended as
// orders arrive and rewritten whole only by a save. Bytes that cannot be
// read are never destroyed: before a cut or a rewrite would lose them, the
// whole file is copied next to it. Not thread-safe; the order book
// serialises the calls.
class OrderDatabase {
public:
    using DamageReport = std::function<void(const DatabaseDamage&)>;

    // Copies are named from `clock`'s local time (the system clock when null).
    OrderDatabase(std::string path, uint32_t header, const Clock* clock = nullptr);

    const std::string& path() const { return m_path; }
    void setClock(const Clock* clock) { m_clock = clock; }
    // Told of each damaged file met, on the thread that met it; a copy that
    // cannot be made is told once until one is made.
    void setDamageReport(DamageReport report) { m_report = std::move(report); }

    // Reads the file through a large buffer and appends its whole records
    // to `out`, in file order. A file with unreadable bytes is copied at
    // once; the unreadable tail stays on disk until the next append cuts it
    // off.
    OrderDatabaseScan load(std::vector<std::unique_ptr<OrderEntry>>& out);

    // Appends whole records (appendOrderRecord's bytes), creating the file
    // with its header when it is missing. False when nothing was stored: the
    // file cannot be opened or written, or it holds bytes that could not be
    // read and no copy of it could be made.
    bool append(std::string_view records);

    // Replaces the file with the header and these records, through a
    // temporary file renamed over it; `beforeReplacing` runs once the new
    // file is written. A file with unreadable bytes is copied first, and is
    // left as it is when that fails.
    bool rewrite(const std::vector<const OrderEntry*>& orders,
                 const std::function<void()>& beforeReplacing = {});

private:
    // True when the file, `size` bytes long now, may lose the bytes past
    // its whole records: a copy of it exists or has just been made.
    bool keepWhole(const OrderDatabaseScan& scan, uint64_t size);
    std::string copyAside() const;

    std::string m_path;
    uint32_t m_header;
    const Clock* m_clock;
    DamageReport m_report;
    // Where the last whole record ends, when this run knows it; a file of
    // another size has changed behind our back or carries a torn tail.
    std::optional<uint64_t> m_wholeEnd;
    // The size of the damaged file last copied: a file of that size is
    // taken to be the same one, so it is not copied again.
    std::optional<uint64_t> m_keptSize;
    bool m_copyFailureReported = false;
};

} // namespace quillon
