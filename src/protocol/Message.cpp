#include "protocol/Message.h"

namespace quillon {

namespace {

constexpr size_t kHeaderFields = 3;

} // namespace

Message::Message(int32_t kind, int32_t subkind, int32_t version)
    : m_kind(kind), m_subkind(subkind), m_version(version) {
    addRecord();
}

void Message::addRecord() {
    m_records.push_back({&m_kind, &m_subkind, &m_version});
}

MessageHeader Message::header() const {
    return {uint32_t(m_kind), uint32_t(m_subkind), uint32_t(m_version)};
}

std::span<const FieldRef> Message::record(int v) const {
    if (v < 0 || size_t(v) >= m_records.size())
        return {};
    return m_records[size_t(v)];
}

size_t Message::encodedSize(int v) const {
    return quillon::encodedSize(record(v));
}

ByteData Message::encode(int v) const {
    ByteData out;
    encodeFields(record(v), out);
    return out;
}

int Message::decode(int v, std::span<const uint8_t> bytes) {
    if (v < 0)
        return -3;
    if (size_t(v) >= m_records.size())
        return -4;
    // The body's own version goes to bodyVersion, not over this side's.
    WireReader in(bytes);
    if (!in.readI32(m_kind) || !in.readI32(m_subkind) || !in.readI32(m_bodyVersion))
        return -2;
    return decodeFields(record(v).subspan(kHeaderFields), bytes, in.offset());
}

} // namespace quillon
