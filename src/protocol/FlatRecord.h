#pragma once

#include "netlib/ByteData.h"
#include "netlib/Socket.h"
#include "protocol/FieldCodec.h"

#include <span>

namespace quillon {

// A list of fields without header fields, decoded from offset 0. Subclasses
// list their members in wire order; the descriptors point into the object,
// so records are not copied.
class FlatRecord {
public:
    virtual ~FlatRecord() = default;
    FlatRecord(const FlatRecord&) = delete;
    FlatRecord& operator=(const FlatRecord&) = delete;

    // Bytes consumed, or -2 when the input is too short.
    int decode(std::span<const uint8_t> bytes);
    int decode(const ByteData& bytes) { return decode(bytesOf(bytes)); }
    // One receive of whatever is available, then decode; -3 when the
    // receive fails.
    int receive(Socket& socket);

    size_t encodedSize() const { return quillon::encodedSize(m_fields); }
    ByteData encode() const;

protected:
    FlatRecord() = default;
    void addField(FieldRef field) { m_fields.push_back(field); }

private:
    FieldList m_fields;
};

} // namespace quillon
