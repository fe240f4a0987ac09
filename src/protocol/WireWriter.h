#pragma once

#include "netlib/ByteData.h"

#include <bit>
#include <cstdint>
#include <string_view>

namespace quillon {

// Appenders for the encoders: every wire integer is 32-bit little-endian.
inline void appendI32(ByteData& out, int32_t value) {
    out.appendU32(uint32_t(value));
}

inline void appendFloat(ByteData& out, float value) {
    out.appendU32(std::bit_cast<uint32_t>(value));
}

// The String form: u32 L = characters + 1, the characters, one NUL.
inline void appendLengthText(ByteData& out, std::string_view text) {
    out.appendU32(uint32_t(text.size() + 1));
    out.append(text);
    out.append("\0", 1);
}

} // namespace quillon
