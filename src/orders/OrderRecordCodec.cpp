#include "orders/OrderRecordCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillon {

namespace {

void appendU32(std::string& out, uint32_t v) {
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.append(bytes, 4);
}

// Length with the terminating zero, the characters, the zero.
void appendText(std::string& out, std::string_view text) {
    const size_t n = std::min(text.size(), kMaxStoredText);
    appendU32(out, uint32_t(n + 1));
    out.append(text.data(), n);
    out.push_back('\0');
}

// Reads fields from memory; every read first checks that its bytes are there.
class FieldReader {
public:
    FieldReader(const char* begin, const char* end) : m_p(begin), m_end(end) {}

    const char* position() const { return m_p; }
    size_t left() const { return size_t(m_end - m_p); }

    bool u32(uint32_t& v) {
        if (left() < 4)
            return false;
        const auto* b = reinterpret_cast<const unsigned char*>(m_p);
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
            (uint32_t(b[3]) << 24);
        m_p += 4;
        return true;
    }

    bool i32(int32_t& v) {
        uint32_t u = 0;
        if (!u32(u))
            return false;
        v = int32_t(u);
        return true;
    }

    // A stored text ends at its first zero byte, as the writer leaves it.
    bool text(std::string_view& s) {
        uint32_t length = 0;
        if (!u32(length) || length == 0 || length > kMaxStoredText + 1 || length > left())
            return false;
        s = std::string_view(m_p, strnlen(m_p, length - 1));
        m_p += length;
        return true;
    }

    bool text(std::string& s) {
        std::string_view view;
        if (!text(view))
            return false;
        s.assign(view);
        return true;
    }

    bool skip(size_t n) {
        if (left() < n)
            return false;
        m_p += n;
        return true;
    }

    // A count of entries that each take at least `minBytes`: more than the
    // remaining bytes can hold means the record is damaged.
    bool count(uint32_t& n, size_t minBytes) { return u32(n) && n <= left() / minBytes; }

private:
    const char* m_p;
    const char* m_end;
};

// Smallest picture: an empty file name (length and zero) and its item count.
constexpr size_t kMinPictureBytes = 4 + 1 + 4;
constexpr size_t kItemBytes = 8;

// Walks the pictures of a record to count their product lines, so that an
// order's lines are sized once; false when the pictures are damaged.
bool countLines(FieldReader r, uint32_t pictureCount, size_t& lines) {
    std::string_view fileName;
    for (uint32_t p = 0; p < pictureCount; ++p) {
        uint32_t itemCount = 0;
        if (!r.text(fileName) || !r.count(itemCount, kItemBytes) || !r.skip(itemCount * kItemBytes))
            return false;
        lines += itemCount;
    }
    return true;
}

// The fields below were checked before.
void readLines(FieldReader& r, std::span<ItemLine> lines) {
    for (ItemLine& item : lines) {
        r.i32(item.code);
        r.i32(item.quantity);
    }
}

// The pictures of a loaded record go to its load's pictures; false, and
// none kept, when they are damaged.
bool readLoadedPictures(FieldReader& r, OrderEntry& e, uint32_t pictureCount,
                        const std::shared_ptr<LoadedPictures>& loaded) {
    const uint32_t first = loaded->end();
    std::string_view fileName;
    for (uint32_t p = 0; p < pictureCount; ++p) {
        uint32_t itemCount = 0;
        if (!r.text(fileName) || !r.count(itemCount, kItemBytes)) {
            loaded->dropFrom(first);
            return false;
        }
        const char* lineBytes = r.position();
        r.skip(itemCount * kItemBytes);
        loaded->add(fileName, std::string_view(lineBytes, itemCount * kItemBytes),
                    [&](std::vector<ItemLine>& lines) {
                        FieldReader items(lineBytes, r.position());
                        lines.resize(lines.size() + itemCount);
                        readLines(items, std::span(lines).last(itemCount));
                    });
    }
    e.pictures = PictureList(loaded, first, pictureCount);
    return true;
}

bool readRecord(FieldReader& r, OrderEntry& e, const std::shared_ptr<LoadedPictures>& loaded) {
    uint32_t amountBits = 0;
    uint32_t pictureCount = 0;
    if (!r.text(e.orderNumber) || !r.text(e.customer) || !r.text(e.folder) ||
        !r.i32(e.paymentCode) || !r.text(e.paymentStatus) || !r.u32(amountBits) ||
        !r.i32(e.itemCount) || !r.u32(e.received) || !r.i32(e.reserved) ||
        !r.count(pictureCount, kMinPictureBytes))
        return false;
    e.amount = std::bit_cast<float>(amountBits);
    if (loaded)
        return readLoadedPictures(r, e, pictureCount, loaded);
    size_t lineCount = 0;
    if (!countLines(r, pictureCount, lineCount))
        return false;
    // The fields below were checked by countLines().
    e.pictures.reserve(pictureCount, lineCount);
    std::string_view fileName;
    for (uint32_t p = 0; p < pictureCount; ++p) {
        uint32_t itemCount = 0;
        r.text(fileName);
        r.count(itemCount, kItemBytes);
        readLines(r, e.pictures.add(fileName, itemCount));
    }
    return true;
}

} // namespace

void appendDatabaseHeader(std::string& out, uint32_t header) {
    appendU32(out, header);
}

void appendOrderRecord(std::string& out, const OrderEntry& e) {
    appendText(out, e.orderNumber);
    appendText(out, e.customer);
    appendText(out, e.folder);
    appendU32(out, uint32_t(e.paymentCode));
    appendText(out, e.paymentStatus);
    appendU32(out, std::bit_cast<uint32_t>(e.amount));
    appendU32(out, uint32_t(e.itemCount));
    appendU32(out, e.received);
    appendU32(out, uint32_t(e.reserved));
    appendU32(out, uint32_t(e.pictures.size()));
    for (const PictureView picture : e.pictures) {
        appendText(out, picture.fileName);
        appendU32(out, uint32_t(picture.items.size()));
        for (const ItemLine& item : picture.items) {
            appendU32(out, uint32_t(item.code));
            appendU32(out, uint32_t(item.quantity));
        }
    }
}

size_t parseOrderRecords(std::string_view bytes, std::vector<std::unique_ptr<OrderEntry>>* out,
                         size_t& records, const std::shared_ptr<LoadedPictures>& loaded) {
    FieldReader r(bytes.data(), bytes.data() + bytes.size());
    size_t used = 0;
    while (r.left() > 0) {
        auto entry = std::make_unique<OrderEntry>();
        if (!readRecord(r, *entry, out ? loaded : nullptr))
            break;
        used = size_t(r.position() - bytes.data());
        ++records;
        if (out)
            out->push_back(std::move(entry));
    }
    return used;
}

} // namespace quillon
