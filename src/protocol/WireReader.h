#pragma once

#include "netlib/ByteData.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quillon {

// A cursor over bytes that came from a peer. Every read checks what is left
// first; a read that does not fit fails and leaves the cursor where it was.
class WireReader {
public:
    explicit WireReader(std::span<const uint8_t> bytes, size_t offset = 0)
        : m_bytes(bytes), m_offset(offset <= bytes.size() ? offset : bytes.size()) {}

    size_t offset() const { return m_offset; }
    size_t remaining() const { return m_bytes.size() - m_offset; }
    bool atEnd() const { return m_offset == m_bytes.size(); }

    bool readU32(uint32_t& value);
    bool readI32(int32_t& value);
    bool readFloat(float& value);
    // The next `count` bytes, without copying.
    bool readBytes(size_t count, std::span<const uint8_t>& out);
    bool skip(size_t count);
    // `count` bytes that hold a text, cut at its first NUL when there is one.
    bool readText(size_t count, std::string& text);
    // u32 N, then N bytes: the Blob form.
    bool readLengthBytes(std::span<const uint8_t>& out);
    // u32 L, then L bytes holding a NUL-terminated text: the String form.
    bool readLengthText(std::string& text);

private:
    std::span<const uint8_t> m_bytes;
    size_t m_offset = 0;
};

inline std::span<const uint8_t> bytesOf(const ByteData& data) {
    return {data.data(), data.size()};
}

// The text in `bytes` up to the first NUL, or all of it when there is none.
std::string textUpToNul(std::span<const uint8_t> bytes);

} // namespace quillon
