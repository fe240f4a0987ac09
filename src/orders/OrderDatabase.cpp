#include "orders/OrderDatabase.h"

#include "orders/FilePaths.h"
#include "orders/SaveFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <algorithm>

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
OrderDatabaseScan scanFile(QFile& f, uint32_t header, Orders* out) {
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
        const size_t used = parseOrderRecords(pending, out, scan.records);
        scan.wholeEnd += used;
        pending.erase(0, used);
        if (unread == 0) {
            scan.state = pending.empty() ? State::Whole : State::Damaged;
            return scan;
        }
    }
}

} // namespace

OrderDatabase::OrderDatabase(std::string path, uint32_t header)
    : m_path(std::move(path)), m_header(header) {}

OrderDatabaseScan OrderDatabase::load(Orders& out) {
    m_wholeEnd.reset();
    QFile f(qtPath(m_path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const OrderDatabaseScan scan = scanFile(f, m_header, &out);
    if (scan.state != State::WrongHeader && scan.state != State::Missing)
        m_wholeEnd = scan.wholeEnd;
    return scan;
}

bool OrderDatabase::append(const OrderEntry& order) {
    QFile f(qtPath(m_path));
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 size = f.size();
    if (!m_wholeEnd || *m_wholeEnd != uint64_t(size)) {
        const OrderDatabaseScan scan = scanFile(f, m_header, nullptr);
        if (scan.state == State::WrongHeader || scan.state == State::Missing)
            return false;
        m_wholeEnd = scan.wholeEnd;
    }

    // Later records must never follow a torn one, or every load would stop
    // in front of them.
    std::string bytes;
    if (*m_wholeEnd == 0)
        appendDatabaseHeader(bytes, m_header);
    appendOrderRecord(bytes, order);
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

bool OrderDatabase::rewrite(const Orders& orders) {
    QSaveFile f(qtPath(m_path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    std::string bytes;
    appendDatabaseHeader(bytes, m_header);
    uint64_t total = 0;
    for (const auto& order : orders) {
        appendOrderRecord(bytes, *order);
        if (bytes.size() >= size_t(kReadSize)) {
            if (!writeAll(f, bytes))
                return false;
            total += bytes.size();
            bytes.clear();
        }
    }
    if (!writeAll(f, bytes) || !commitWhole(f))
        return false;
    m_wholeEnd = total + bytes.size();
    return true;
}

} // namespace quillon
