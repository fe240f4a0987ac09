#include "orders/OrderDatabase.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

namespace quillon {

namespace {

QString filePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Reads `size` bytes from the start of an open file.
bool readFrom(QFile& f, qint64 size, QByteArray& bytes) {
    bytes = QByteArray(size, Qt::Uninitialized);
    qint64 done = 0;
    if (!f.seek(0))
        return false;
    while (done < size) {
        const qint64 n = f.read(bytes.data() + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), size_t(bytes.size())};
}

bool writeAll(QIODevice& f, const std::string& bytes) {
    return f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

} // namespace

OrderDatabase::OrderDatabase(std::string path, uint32_t header)
    : m_path(std::move(path)), m_header(header) {}

OrderDatabaseScan OrderDatabase::load(std::vector<std::unique_ptr<OrderEntry>>& out) {
    using State = OrderDatabaseScan::State;
    m_wholeEnd.reset();
    QFile f(filePath(m_path));
    QByteArray bytes;
    if (!f.open(QIODevice::ReadOnly) || !readFrom(f, f.size(), bytes))
        return {};
    OrderDatabaseScan scan = parseOrderDatabase(viewOf(bytes), m_header, &out);
    if (scan.state != State::WrongHeader)
        m_wholeEnd = scan.wholeEnd;
    return scan;
}

bool OrderDatabase::append(const OrderEntry& order) {
    using State = OrderDatabaseScan::State;
    QFile f(filePath(m_path));
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 size = f.size();
    if (!m_wholeEnd || *m_wholeEnd != uint64_t(size)) {
        QByteArray bytes;
        if (!readFrom(f, size, bytes))
            return false;
        const OrderDatabaseScan scan = parseOrderDatabase(viewOf(bytes), m_header, nullptr);
        if (scan.state == State::WrongHeader)
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

bool OrderDatabase::rewrite(const std::vector<std::unique_ptr<OrderEntry>>& orders) {
    constexpr size_t kChunk = 1 << 20;
    QSaveFile f(filePath(m_path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    std::string bytes;
    appendDatabaseHeader(bytes, m_header);
    uint64_t total = 0;
    for (const auto& order : orders) {
        appendOrderRecord(bytes, *order);
        if (bytes.size() >= kChunk) {
            if (!writeAll(f, bytes))
                return false;
            total += bytes.size();
            bytes.clear();
        }
    }
    if (!writeAll(f, bytes) || !f.commit())
        return false;
    m_wholeEnd = total + bytes.size();
    return true;
}

} // namespace quillon
