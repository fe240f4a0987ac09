#pragma once

#include "netlib/ByteData.h"
#include "protocol/SessionBlock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quillon {

// The 12-byte opening of an exchange: message family, operation within
// it, and the highest layout version the sender can use.
struct MessageHeader {
    static constexpr size_t kSize = 12;
    // The session opening: this header followed by the 96-byte block.
    static constexpr size_t kSessionOpeningSize = kSize + SessionBlock::kSize;

    uint32_t kind = 0;
    uint32_t subkind = 0;
    uint32_t version = 0;

    ByteData encode() const;
    ByteData encodeSession(const SessionBlock& block) const;
    // None when fewer than 12 bytes are given.
    static std::optional<MessageHeader> parse(std::span<const uint8_t> bytes);

    bool operator==(const MessageHeader&) const = default;
};

} // namespace quillon
