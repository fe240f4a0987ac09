#include "protocol/ShopSetupConfirmation.h"

#include "protocol/WireReader.h"
#include "protocol/WireWriter.h"

#include <cstring>

namespace quillon {

namespace {

constexpr uint32_t kConfirmationTag = 1;

} // namespace

ByteData buildConfirmationRequest(std::string_view text) {
    ByteData out;
    out.appendU32(kConfirmationTag);
    out.appendU32(uint32_t(text.size()));
    out.append(text);
    out.append("\0", 1);
    return out;
}

std::string confirmationText(std::string_view shopId, std::string_view email) {
    std::string text(shopId);
    text += ';';
    text += email;
    return text;
}

Decoded<std::string> parseConfirmationRequest(std::span<const uint8_t> bytes) {
    Decoded<std::string> result;
    WireReader in(bytes);
    uint32_t tag = 0, length = 0;
    if (!in.readU32(tag) || tag != kConfirmationTag || !in.readU32(length) ||
        length == UINT32_MAX || !in.readText(length + 1, result.value))
        return result;
    result.ok = true;
    result.used = in.offset();
    return result;
}

ByteData buildConfirmationReply(int32_t result, std::string_view message) {
    ByteData out;
    out.appendU32(kConfirmationTag);
    appendI32(out, result);
    out.appendU32(uint32_t(message.size()));
    if (!message.empty()) {
        out.append(message);
        out.append("\0", 1);
    }
    return out;
}

Decoded<ConfirmationReply> parseConfirmationReply(std::span<const uint8_t> bytes) {
    Decoded<ConfirmationReply> result;
    ConfirmationReply& r = result.value;
    WireReader in(bytes);
    uint32_t length = 0;
    if (!in.readU32(r.tag) || !in.readI32(r.result) || !in.readU32(length))
        return result;
    if (length != 0) {
        // The text runs to its NUL; only what arrived is looked at.
        std::span<const uint8_t> rest = bytes.subspan(in.offset());
        r.message = textUpToNul(rest);
        if (r.message.size() == rest.size())
            return result;
        in.skip(r.message.size() + 1);
    }
    result.ok = true;
    result.used = in.offset();
    return result;
}

} // namespace quillon
