#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"
#include "protocol/SessionBlock.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr char kLogoutText[] = "Bye!";

// The raw logout request: u32 3, the session block, u32 L (characters,
// the NUL not counted), the text and a NUL: L + 105 bytes.
ByteData buildLogoutRequest(const SessionBlock& session, std::string_view text = kLogoutText);

struct LogoutRequestData {
    SessionBlock session;
    std::string text;
};
Decoded<LogoutRequestData> parseLogoutRequest(std::span<const uint8_t> bytes);

// The reply: u32 3, then i32 result.
struct LogoutReply {
    uint32_t tag = 0;
    int32_t result = 0;
};
ByteData buildLogoutReply(int32_t result);
// ok false when fewer than 8 bytes came; `tag` is filled when 4 did.
Decoded<LogoutReply> parseLogoutReply(std::span<const uint8_t> bytes);

} // namespace quillon
