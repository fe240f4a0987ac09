#include "protocol/NamedMessage.h"

#include "protocol/FramedPacket.h"

#include <utility>

namespace quillon {

namespace {

constexpr size_t kRowCountSize = 4;

} // namespace

FieldRef NamedField::ref() {
    switch (type) {
    case FieldType::UInt32:
        return &uintValue;
    case FieldType::String:
        return &text;
    default:
        return &intValue;
    }
}

NamedMessage::NamedMessage(uint32_t kind, uint32_t subkind, uint32_t version)
    : m_kind(kind), m_subkind(subkind), m_version(version) {}

bool NamedMessage::setChosenVersion(uint32_t version) {
    if (version >= m_versions.size())
        return false;
    m_chosenVersion = version;
    return true;
}

bool NamedMessage::addField(uint32_t version, NamedList list, FieldType type, std::string name) {
    if (type != FieldType::Int32 && type != FieldType::UInt32 && type != FieldType::String)
        return false;
    if (version >= kMaxVersions)
        return false;
    if (m_versions.size() <= version)
        m_versions.resize(version + 1);
    NamedField field;
    field.type = type;
    field.name = std::move(name);
    listOf(m_versions[version], list).push_back(std::move(field));
    return true;
}

bool NamedMessage::addRequestField(uint32_t version, FieldType type, std::string name) {
    return addField(version, NamedList::Request, type, std::move(name));
}

bool NamedMessage::addResponseField(uint32_t version, FieldType type, std::string name) {
    return addField(version, NamedList::Response, type, std::move(name));
}

bool NamedMessage::addRowField(uint32_t version, FieldType type, std::string name) {
    return addField(version, NamedList::Row, type, std::move(name));
}

std::vector<NamedField>* NamedMessage::fields(NamedList list) {
    if (m_chosenVersion >= m_versions.size())
        return nullptr;
    return &listOf(m_versions[m_chosenVersion], list);
}

const std::vector<NamedField>* NamedMessage::fields(NamedList list) const {
    return const_cast<NamedMessage*>(this)->fields(list);
}

std::vector<NamedField>& NamedMessage::listOf(VersionFields& version, NamedList list) {
    switch (list) {
    case NamedList::Request:
        return version.request;
    case NamedList::Response:
        return version.response;
    default:
        return version.row;
    }
}

const NamedField* NamedMessage::find(NamedList list, std::string_view name, FieldType type) const {
    const std::vector<NamedField>* found = fields(list);
    if (!found)
        return nullptr;
    for (const NamedField& f : *found)
        if (f.type == type && f.name == name)
            return &f;
    return nullptr;
}

NamedField* NamedMessage::find(NamedList list, std::string_view name, FieldType type) {
    return const_cast<NamedField*>(std::as_const(*this).find(list, name, type));
}

int NamedMessage::setInt(std::string_view name, int32_t value, NamedList list) {
    NamedField* f = find(list, name, FieldType::Int32);
    if (!f)
        return 1;
    f->intValue = value;
    return 0;
}

int NamedMessage::setUInt(std::string_view name, uint32_t value, NamedList list) {
    NamedField* f = find(list, name, FieldType::UInt32);
    if (!f)
        return 1;
    f->uintValue = value;
    return 0;
}

int NamedMessage::setString(std::string_view name, std::string_view text, NamedList list) {
    NamedField* f = find(list, name, FieldType::String);
    if (!f)
        return 1;
    f->text = text;
    return 0;
}

int NamedMessage::getInt(std::string_view name, int32_t& value, NamedList list) const {
    const NamedField* f = find(list, name, FieldType::Int32);
    if (!f)
        return 1;
    value = f->intValue;
    return 0;
}

int NamedMessage::getUInt(std::string_view name, uint32_t& value, NamedList list) const {
    const NamedField* f = find(list, name, FieldType::UInt32);
    if (!f)
        return 1;
    value = f->uintValue;
    return 0;
}

int NamedMessage::getString(std::string_view name, std::string& text, NamedList list) const {
    const NamedField* f = find(list, name, FieldType::String);
    if (!f)
        return 1;
    text = f->text;
    return 0;
}

ByteData NamedMessage::encodeList(NamedList list) const {
    ByteData out;
    const std::vector<NamedField>* found = fields(list);
    if (!found)
        return out;
    for (NamedField f : *found)
        encodeField(f.ref(), out);
    return out;
}

int NamedMessage::decodeList(NamedList list, std::span<const uint8_t> bytes, size_t offset) {
    std::vector<NamedField>* target = fields(list);
    if (!target)
        return -2;
    // Decoded into a copy, so a short input leaves the fields as they were.
    std::vector<NamedField> decoded = *target;
    FieldList refs;
    refs.reserve(decoded.size());
    for (NamedField& f : decoded)
        refs.push_back(f.ref());
    int end = decodeFields(refs, bytes, offset);
    if (end >= 0)
        *target = std::move(decoded);
    return end;
}

int NamedMessage::open(Socket& socket) {
    if (!socket.SendBytes(header().encode()))
        return -1;
    ByteData answer;
    if (!socket.ReceiveBytes(answer))
        return -2;
    if (answer.size() < 4)
        return -3;
    // A layout this side has no fields for ends the exchange here.
    if (!setChosenVersion(answer.u32At(0)))
        return -4;
    return int(m_chosenVersion);
}

int NamedMessage::transact(Socket& socket) {
    ByteData request = encodeList(NamedList::Request);
    if (!socket.SendBytes(request))
        return -2;
    ByteData reply;
    if (!socket.ReceiveBytes(reply))
        return -3;
    if (reply.size() < 4)
        return -4;
    if (!socket.SendU32(uint32_t(reply.size())))
        return -5;
    if (decodeList(NamedList::Response, bytesOf(reply)) < 0)
        return -4;
    FramedPacket packet;
    int rc = packet.receivePacket(socket);
    if (rc != 1)
        return rc;
    setRowData(packet.takeBody());
    return int(request.size());
}

void NamedMessage::setRowData(ByteData rows) {
    m_rowData = std::move(rows);
    m_rowCount = m_rowData.size() >= kRowCountSize ? m_rowData.u32At(0) : 0;
    m_rowOffset = kRowCountSize;
    m_rowIndex = 0;
}

int NamedMessage::firstRow() {
    m_rowOffset = kRowCountSize;
    m_rowIndex = 0;
    return nextRow();
}

int NamedMessage::nextRow() {
    const std::vector<NamedField>* rowFields = fields(NamedList::Row);
    // A row without fields takes no bytes; the count alone would be trusted.
    if (m_rowIndex >= m_rowCount || !rowFields || rowFields->empty())
        return 2;
    int end = decodeList(NamedList::Row, bytesOf(m_rowData), m_rowOffset);
    if (end < 0) {
        m_rowIndex = m_rowCount;
        return -2;
    }
    m_rowOffset = size_t(end);
    ++m_rowIndex;
    return 0;
}

} // namespace quillon
