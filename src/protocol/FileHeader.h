#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace quillon {

// Announces one picture file on order server 1: three unused words, the
// file size at offset 12, the name length L at 16 and L name bytes from 20.
struct FileHeader {
    static constexpr size_t kFixedSize = 20;

    std::array<uint32_t, 3> unused{};
    uint32_t size = 0;
    std::string name; // up to the first NUL of its L bytes

    bool operator==(const FileHeader&) const = default;
};

// ok false when the fixed part or the name runs past the input.
Decoded<FileHeader> decodeFileHeader(std::span<const uint8_t> bytes);
// The name is written as its characters followed by one NUL (L counts it).
ByteData encodeFileHeader(const FileHeader& header);

} // namespace quillon
