#pragma once

#include "netlib/ByteData.h"
#include "protocol/FieldCodec.h"
#include "protocol/MessageHeader.h"
#include "protocol/SessionBlock.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

// A versioned message: the body of a plain or session exchange. Each
// message kind is a subclass whose constructor lists its members in wire
// order; every record starts with `kind`, `subkind` and `version`. The
// descriptors point into the object itself, so messages are not copied.
class Message {
public:
    virtual ~Message() = default;
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    int32_t kind() const { return m_kind; }
    int32_t subkind() const { return m_subkind; }
    int32_t version() const { return m_version; }
    // The third header value of the last decoded body.
    int32_t bodyVersion() const { return m_bodyVersion; }
    MessageHeader header() const;

    SessionBlock& sessionBlock() { return m_sessionBlock; }
    const SessionBlock& sessionBlock() const { return m_sessionBlock; }

    size_t recordCount() const { return m_records.size(); }
    // The descriptors of record v, header fields included; empty when there
    // is no such record.
    std::span<const FieldRef> record(int v) const;

    // 0 when there is no record v.
    size_t encodedSize(int v) const;
    // Every field of record v in order; empty when there is no record v.
    ByteData encode(int v) const;
    // Bytes consumed; -3 for v < 0, -4 for v past the last record, -2 when
    // the input is too short.
    int decode(int v, std::span<const uint8_t> bytes);
    int decode(int v, const ByteData& bytes) { return decode(v, bytesOf(bytes)); }

protected:
    Message(int32_t kind, int32_t subkind, int32_t version = 0);
    // Appends a field to the newest record.
    void addField(FieldRef field) { m_records.back().push_back(field); }
    // Starts the record of the next layout version.
    void addRecord();

private:
    int32_t m_kind = 0;
    int32_t m_subkind = 0;
    int32_t m_version = 0;
    int32_t m_bodyVersion = 0;
    SessionBlock m_sessionBlock;
    std::vector<FieldList> m_records;
};

} // namespace quillon
