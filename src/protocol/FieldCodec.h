#pragma once

#include "netlib/ByteData.h"
#include "protocol/SessionBlock.h"
#include "protocol/WireReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace quillon {

// The five field encodings; the values are the type codes of the wire.
enum class FieldType : uint32_t { Int32 = 0, UInt32 = 1, String = 2, SessionBlock = 3, Blob = 4 };

// A field descriptor: where the value lives. The alternative's index is the
// type code, so the type can never disagree with the member it points at.
// A Blob is a ByteData: the message owns the bytes of a decoded blob.
using FieldRef = std::variant<int32_t*, uint32_t*, std::string*, SessionBlock*, ByteData*>;
using FieldList = std::vector<FieldRef>;

inline FieldType fieldType(const FieldRef& field) {
    return FieldType(field.index());
}

// Wire size of one field: 4 (Int32, UInt32), characters + 5 (String),
// 96 (SessionBlock), N + 4 (Blob).
size_t encodedFieldSize(const FieldRef& field);
void encodeField(const FieldRef& field, ByteData& out);
// Reads one field at the reader's position; false when the input is too
// short for it (its length word, then its full length). The member is then
// unchanged.
bool decodeField(const FieldRef& field, WireReader& in);

size_t encodedSize(std::span<const FieldRef> fields);
void encodeFields(std::span<const FieldRef> fields, ByteData& out);
// Decodes the fields in order from `offset`: the offset after the last
// field, or -2 when the input ran short.
int decodeFields(std::span<const FieldRef> fields, std::span<const uint8_t> bytes, size_t offset);

} // namespace quillon
