#pragma once

#include <array>
#include <cstddef>

namespace quillon {

// The start-up splash's animation: five elements fade in one after the
// other. Each tick raises the current element's opacity by 25 (the fifth's
// by 12) up to 255; a fully shown element hands over to the next.
class SplashFade {
public:
    static constexpr int kElements = 5;
    static constexpr int kTickMs = 100;

    void tick();
    bool finished() const { return m_current >= kElements; }
    int opacity(int element) const { return m_opacity[std::size_t(element)]; }

private:
    std::array<int, kElements> m_opacity{};
    int m_current = 0;
};

} // namespace quillon
