#include "protocol/MessageHeader.h"

#include "protocol/WireReader.h"

namespace quillon {

ByteData MessageHeader::encode() const {
    ByteData out;
    out.appendU32(kind);
    out.appendU32(subkind);
    out.appendU32(version);
    return out;
}

ByteData MessageHeader::encodeSession(const SessionBlock& block) const {
    ByteData out = encode();
    out.append(block.bytes().data(), block.bytes().size());
    return out;
}

std::optional<MessageHeader> MessageHeader::parse(std::span<const uint8_t> bytes) {
    WireReader in(bytes);
    MessageHeader h;
    if (!in.readU32(h.kind) || !in.readU32(h.subkind) || !in.readU32(h.version))
        return std::nullopt;
    return h;
}

} // namespace quillon
