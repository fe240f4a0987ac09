#include "ui/shell/SplashFade.h"

#include <algorithm>

namespace quillon {

void SplashFade::tick() {
    if (finished())
        return;
    int& o = m_opacity[std::size_t(m_current)];
    o = std::min(255, o + (m_current == kElements - 1 ? 12 : 25));
    if (o == 255)
        ++m_current;
}

} // namespace quillon
