#include "orders/OrderDatabase.h"

#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/SaveFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <ctime>
#include <utility>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace quillon {

namespace {

using State = OrderDatabaseScan::State;
using Orders = std::vector<std::unique_ptr<OrderEntry>>;

// Bytes read at a time; a record longer than what is pending doubles it.
constexpr qint64 kReadSize = qint64(4) << 20;

bool readExactly(QFile& f, char* into, qint64 count) {
    while (count > 0) {
        const qint64 n = f.read(into, count);
        if (n <= 0)
            return false;
        into += n;
        count -= n;
    }
    return true;
}

State headerState(std::string_view first, uint32_t header) {
    std::string expected;
    appendDatabaseHeader(expected, header);
    if (first.size() < expected.size()) // a crash while the file was being created
        return expected.compare(0, first.size(), first) == 0 ? State::NoHeader : State::WrongHeader;
    return first == expected ? State::Whole : State::WrongHeader;
}

// Reads the file from its start, a large block at a time, parsing the whole
// records as they arrive; `out` may be null to find where they end only.
// The pictures of the orders read go to `loaded`.
OrderDatabaseScan scanFile(QFile& f, uint32_t header, Orders* out,
                           const std::shared_ptr<LoadedPictures>& loaded = {}) {
    OrderDatabaseScan scan;
    qint64 unread = f.size();
    std::string pending(size_t(std::min(unread, qint64(kDatabaseHeaderSize))), '\0');
    if (!f.seek(0) || !readExactly(f, pending.data(), qint64(pending.size())))
        return scan;
    unread -= qint64(pending.size());
    scan.state = headerState(pending, header);
    if (scan.state != State::Whole)
        return scan;
    scan.wholeEnd = pending.size();
    pending.clear();

    for (;;) {
        const size_t old = pending.size();
        const qint64 more = std::min(unread, std::max(kReadSize, qint64(old)));
        pending.resize(old + size_t(more));
        if (!readExactly(f, pending.data() + old, more)) {
            scan.state = State::Missing;
            return scan;
        }
        unread -= more;
        const size_t used = parseOrderRecords(pending, out, scan.records, loaded);
        scan.wholeEnd += used;
        pending.erase(0, used);
        if (unread == 0) {
            scan.state = pending.empty() ? State::Whole : State::Damaged;
            return scan;
        }
    }
}

// Bytes a load could not read: a torn or corrupt record, or a header of
// another kind. A file cut short inside its header holds nothing to keep.
bool hasUnreadBytes(State state) {
    return state == State::Damaged || state == State::WrongHeader;
}

// Copies the whole of `from` into `to`, down to the disk.
bool copyBytes(QFile& from, QFile& to) {
    if (!from.seek(0))
        return false;
    std::string block(size_t(1) << 20, '\0');
    for (qint64 left = from.size(); left > 0;) {
        const qint64 n = from.read(block.data(), std::min(left, qint64(block.size())));
        if (n <= 0 || !writeAll(to, std::string_view(block.data(), size_t(n))))
            return false;
        left -= n;
    }
    if (!to.flush() || to.size() != from.size())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(to.handle()) == 0;
#else
    return true;
#endif
}

} // namespace

OrderDatabase::OrderDatabase(std::string path, uint32_t header, const Clock* clock)
    : m_path(std::move(path)), m_header(header), m_clock(clock) {}

OrderDatabaseScan OrderDatabase::load(Orders& out) {
    m_wholeEnd.reset();
    QFile f(qtPath(m_path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // The pictures of the whole load in one place: its orders repeat a few
    // file names and runs of product lines a million times.
    const auto loaded = std::make_shared<LoadedPictures>();
    const OrderDatabaseScan scan = scanFile(f, m_header, &out, loaded);
    loaded->seal();
    if (scan.state == State::Missing)
        return scan;
    // Kept now, while the operator can still be told what was read.
    if (hasUnreadBytes(scan.state))
        keepWhole(scan, uint64_t(f.size()));
    m_wholeEnd = scan.wholeEnd;
    return scan;
}

bool OrderDatabase::append(std::string_view records) {
    QFile f(qtPath(m_path));
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 size = f.size();
    if (!m_wholeEnd || (*m_wholeEnd != uint64_t(size) && m_keptSize != uint64_t(size))) {
        const OrderDatabaseScan scan = scanFile(f, m_header, nullptr);
        if (scan.state == State::Missing ||
            (hasUnreadBytes(scan.state) && !keepWhole(scan, uint64_t(size))))
            return false;
        m_wholeEnd = scan.wholeEnd;
    }

    // Later records must never follow a torn one, or every load would stop
    // in front of them.
    std::string bytes;
    if (*m_wholeEnd == 0)
        appendDatabaseHeader(bytes, m_header);
    bytes += records;
    const qint64 start = qint64(*m_wholeEnd);
    if ((size != start && !f.resize(start)) || !f.seek(start))
        return false;
    if (!writeAll(f, bytes)) {
        f.resize(start);
        return false;
    }
    *m_wholeEnd += bytes.size();
    return true;
}

bool OrderDatabase::rewrite(const std::vector<const OrderEntry*>& orders,
                            const std::function<void()>& beforeReplacing) {
    {
        QFile old(qtPath(m_path));
        const uint64_t size = uint64_t(old.size());
        if (old.exists() && m_wholeEnd != size && m_keptSize != size) {
            // Not what this run read and wrote: a file that cannot be read
            // whole is kept first (an unreadable one cannot be, and stays).
            const OrderDatabaseScan scan = old.open(QIODevice::ReadOnly)
                                               ? scanFile(old, m_header, nullptr)
                                               : OrderDatabaseScan{};
            if ((scan.state == State::Missing || hasUnreadBytes(scan.state)) &&
                !keepWhole(scan, size))
                return false;
        }
    }
    QSaveFile f(qtPath(m_path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    std::string bytes;
    appendDatabaseHeader(bytes, m_header);
    uint64_t total = 0;
    for (const OrderEntry* order : orders) {
        appendOrderRecord(bytes, *order);
        if (bytes.size() >= size_t(kReadSize)) {
            if (!writeAll(f, bytes))
                return false;
            total += bytes.size();
            bytes.clear();
        }
    }
    if (!writeAll(f, bytes))
        return false;
    if (beforeReplacing)
        beforeReplacing();
    if (!commitWhole(f))
        return false;
    m_wholeEnd = total + bytes.size();
    m_keptSize.reset();
    return true;
}

bool OrderDatabase::keepWhole(const OrderDatabaseScan& scan, uint64_t size) {
    if (m_keptSize == size)
        return true;
    const std::string copy = copyAside();
    if (!copy.empty()) {
        m_keptSize = size;
        m_copyFailureReported = false;
    } else if (std::exchange(m_copyFailureReported, true)) {
        return false;
    }
    if (m_report)
        m_report({scan.records, copy});
    return !copy.empty();
}

// OE.DB.damaged-YYYYMMDD-HHMMSS next to the file, with "-2", "-3"... when
// that name is taken: a copy never replaces a file.
std::string OrderDatabase::copyAside() const {
    QFile from(qtPath(m_path));
    if (!from.open(QIODevice::ReadOnly))
        return {};
    const SystemClock system;
    const std::tm t = (m_clock ? *m_clock : static_cast<const Clock&>(system)).localNow();
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &t);
    const std::string base = m_path + ".damaged-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        QFile to(qtPath(name));
        if (!to.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (to.exists())
                continue;
            return {};
        }
        if (copyBytes(from, to))
            return name;
        // QFile::remove() gives up when closing fails, as it does on a full disk.
        to.close();
        QFile::remove(qtPath(name));
        return {};
    }
    return {};
}

} // namespace quillon
