#include "protocol/ChatBlobs.h"

#include "protocol/WireReader.h"
#include "protocol/WireWriter.h"

namespace quillon {

namespace {

bool readRecord(WireReader& in, ChatRecord& record) {
    uint32_t count = 0;
    if (!in.readLengthText(record.name) || !in.readU32(count))
        return false;
    // Lines are added as they decode, so the count never sizes anything.
    for (uint32_t i = 0; i < count; ++i) {
        std::string line;
        if (!in.readLengthText(line))
            return false;
        record.lines.push_back(std::move(line));
    }
    return true;
}

template <class T, class ReadOne>
Decoded<std::vector<T>> decodeUntilEnd(std::span<const uint8_t> blob, ReadOne readOne) {
    Decoded<std::vector<T>> result;
    WireReader in(blob);
    while (!in.atEnd()) {
        T item;
        if (!readOne(in, item))
            return result;
        result.value.push_back(std::move(item));
        result.used = in.offset();
    }
    result.ok = true;
    return result;
}

} // namespace

ByteData encodeLinePairs(const std::vector<ChatLinePair>& pairs) {
    ByteData out;
    for (const ChatLinePair& p : pairs) {
        appendLengthText(out, p.sender);
        appendLengthText(out, p.line);
    }
    return out;
}

Decoded<std::vector<ChatLinePair>> decodeLinePairs(std::span<const uint8_t> blob) {
    return decodeUntilEnd<ChatLinePair>(blob, [](WireReader& in, ChatLinePair& p) {
        return in.readLengthText(p.sender) && in.readLengthText(p.line);
    });
}

ByteData encodeChatRecord(const ChatRecord& record) {
    ByteData out;
    appendLengthText(out, record.name);
    out.appendU32(uint32_t(record.lines.size()));
    for (const std::string& line : record.lines)
        appendLengthText(out, line);
    return out;
}

ByteData encodeChatRecords(const std::vector<ChatRecord>& records) {
    ByteData out;
    for (const ChatRecord& r : records) {
        ByteData one = encodeChatRecord(r);
        out.append(one.data(), one.size());
    }
    return out;
}

Decoded<std::vector<ChatRecord>> decodeChatRecords(std::span<const uint8_t> blob) {
    return decodeUntilEnd<ChatRecord>(blob, readRecord);
}

} // namespace quillon
