#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// The raw confirmation request: u32 1, u32 L (characters, the NUL not
// counted), the text and a NUL: L + 9 bytes. The text is the shop ID, ";"
// and the e-mail address.
ByteData buildConfirmationRequest(std::string_view text);
std::string confirmationText(std::string_view shopId, std::string_view email);
Decoded<std::string> parseConfirmationRequest(std::span<const uint8_t> bytes);

// The reply: u32 1, i32 result (1 confirmed), u32 L, and when L is not 0 a
// NUL-terminated message from offset 12.
struct ConfirmationReply {
    uint32_t tag = 0;
    int32_t result = 0;
    std::string message;
};
ByteData buildConfirmationReply(int32_t result, std::string_view message);
// ok false when the 12 fixed bytes are not all there, or the message has
// no NUL within what came (`message` then holds what did).
Decoded<ConfirmationReply> parseConfirmationReply(std::span<const uint8_t> bytes);

} // namespace quillon
