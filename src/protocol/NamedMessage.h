#pragma once

#include "netlib/ByteData.h"
#include "netlib/Socket.h"
#include "protocol/FieldCodec.h"
#include "protocol/MessageHeader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A field found by its name. Only Int32, UInt32 and String are used; each
// field has a slot for every one of them and uses the one of its type.
struct NamedField {
    FieldType type = FieldType::Int32;
    std::string name;
    int32_t intValue = 0;
    uint32_t uintValue = 0;
    std::string text;

    FieldRef ref();
};

enum class NamedList { Request, Response, Row };

// A message whose fields are looked up by name: a 12-byte opening, the
// request fields in one send, the response fields in one reply, then the
// rows in a framed packet (u32 row count, then the rows back to back).
// Every field list belongs to one layout version; the peer's answer to the
// opening picks the version used.
class NamedMessage {
public:
    static constexpr uint32_t kMaxVersions = 64;

    NamedMessage(uint32_t kind, uint32_t subkind, uint32_t version);
    virtual ~NamedMessage() = default;

    MessageHeader header() const { return {m_kind, m_subkind, m_version}; }
    // False when there are no field lists for `version`.
    bool setChosenVersion(uint32_t version);

    // False for a type other than Int32, UInt32 and String, or a version of
    // kMaxVersions or more. A String starts empty.
    bool addRequestField(uint32_t version, FieldType type, std::string name);
    bool addResponseField(uint32_t version, FieldType type, std::string name);
    bool addRowField(uint32_t version, FieldType type, std::string name);

    // Sends the opening and takes the peer's answer as the chosen version:
    // the version, or -1 send failed, -2 receive failed, -3 fewer than 4
    // bytes, -4 a version this message has no fields for.
    int open(Socket& socket);
    // Sends the request fields, reads and acknowledges the response fields,
    // then receives the rows: the size of the request, or -2 send failed,
    // -3 receive failed, -4 reply too short for the response fields, -5
    // acknowledgement not sent, or the packet's negative code.
    int transact(Socket& socket);

    // Rows, decoded into the row fields: 0, 2 when no row is left (the
    // fields then keep their values), -2 for a row that runs past the data
    // (no further rows are read).
    int firstRow();
    int nextRow();
    uint32_t rowCount() const { return m_rowCount; }
    // The body of the rows packet, as received.
    void setRowData(ByteData rows);

    // On the fields of the chosen version: 0, or 1 when no field of that
    // name and type exists.
    int setInt(std::string_view name, int32_t value, NamedList list = NamedList::Request);
    int setUInt(std::string_view name, uint32_t value, NamedList list = NamedList::Request);
    int setString(std::string_view name, std::string_view text,
                  NamedList list = NamedList::Request);
    int getInt(std::string_view name, int32_t& value, NamedList list = NamedList::Row) const;
    int getUInt(std::string_view name, uint32_t& value, NamedList list = NamedList::Row) const;
    int getString(std::string_view name, std::string& text, NamedList list = NamedList::Row) const;

    // The fields of a list of the chosen version in wire order.
    ByteData encodeList(NamedList list) const;
    // Decodes a list of the chosen version from `offset`: the offset after
    // it, or -2 when the input is too short (the fields are then unchanged).
    int decodeList(NamedList list, std::span<const uint8_t> bytes, size_t offset = 0);

private:
    struct VersionFields {
        std::vector<NamedField> request;
        std::vector<NamedField> response;
        std::vector<NamedField> row;
    };

    static std::vector<NamedField>& listOf(VersionFields& version, NamedList list);
    bool addField(uint32_t version, NamedList list, FieldType type, std::string name);
    std::vector<NamedField>* fields(NamedList list);
    const std::vector<NamedField>* fields(NamedList list) const;
    NamedField* find(NamedList list, std::string_view name, FieldType type);
    const NamedField* find(NamedList list, std::string_view name, FieldType type) const;

    uint32_t m_kind;
    uint32_t m_subkind;
    uint32_t m_version;
    uint32_t m_chosenVersion = 0;
    std::vector<VersionFields> m_versions;
    ByteData m_rowData;
    uint32_t m_rowCount = 0;
    size_t m_rowOffset = 4;
    uint32_t m_rowIndex = 0;
};

} // namespace quillon
