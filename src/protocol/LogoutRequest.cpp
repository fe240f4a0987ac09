#include "protocol/LogoutRequest.h"

#include "protocol/WireReader.h"
#include "protocol/WireWriter.h"

namespace quillon {

namespace {

constexpr uint32_t kLogoutTag = 3;

} // namespace

ByteData buildLogoutRequest(const SessionBlock& session, std::string_view text) {
    ByteData out;
    out.appendU32(kLogoutTag);
    out.append(session.bytes().data(), session.bytes().size());
    out.appendU32(uint32_t(text.size()));
    out.append(text);
    out.append("\0", 1);
    return out;
}

Decoded<LogoutRequestData> parseLogoutRequest(std::span<const uint8_t> bytes) {
    Decoded<LogoutRequestData> result;
    WireReader in(bytes);
    uint32_t tag = 0, length = 0;
    std::span<const uint8_t> block;
    if (!in.readU32(tag) || tag != kLogoutTag || !in.readBytes(SessionBlock::kSize, block) ||
        !in.readU32(length) || length == UINT32_MAX || !in.readText(length + 1, result.value.text))
        return result;
    result.value.session.assign(block);
    result.ok = true;
    result.used = in.offset();
    return result;
}

ByteData buildLogoutReply(int32_t result) {
    ByteData out;
    out.appendU32(kLogoutTag);
    appendI32(out, result);
    return out;
}

Decoded<LogoutReply> parseLogoutReply(std::span<const uint8_t> bytes) {
    Decoded<LogoutReply> result;
    WireReader in(bytes);
    if (!in.readU32(result.value.tag) || !in.readI32(result.value.result))
        return result;
    result.ok = true;
    result.used = in.offset();
    return result;
}

} // namespace quillon
