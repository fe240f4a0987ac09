#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// The 96 bytes that identify a logged-in shop: `shopid`, `token1` and
// `token2`, each a 32-byte character field padded with NUL bytes. The bytes
// are kept as they arrived, so a block that is echoed goes back unchanged.
class SessionBlock {
public:
    static constexpr size_t kFieldSize = 32;
    static constexpr size_t kSize = 3 * kFieldSize;

    SessionBlock() = default;
    // Each text is cut to its first 32 characters.
    SessionBlock(std::string_view shopid, std::string_view token1, std::string_view token2);

    std::string shopid() const { return field(0); }
    std::string token1() const { return field(1); }
    std::string token2() const { return field(2); }
    void setShopId(std::string_view text) { setField(0, text); }
    void setToken1(std::string_view text) { setField(1, text); }
    void setToken2(std::string_view text) { setField(2, text); }

    const std::array<uint8_t, kSize>& bytes() const { return m_bytes; }
    // Takes exactly kSize bytes; false (and no change) when fewer are given.
    bool assign(std::span<const uint8_t> bytes);

    bool operator==(const SessionBlock&) const = default;

private:
    std::string field(size_t index) const;
    void setField(size_t index, std::string_view text);

    std::array<uint8_t, kSize> m_bytes{};
};

} // namespace quillon
