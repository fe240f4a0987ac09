#include "ui/orderlist/SmoothScroll.h"

namespace quillon {

int SmoothScroll::start(int distance) {
    m_remaining = distance;
    m_previous = distance / 2;
    m_ticks = 0;
    m_running = true;
    return m_previous;
}

int SmoothScroll::tick() {
    if (!m_running)
        return 0;
    m_remaining -= m_previous;
    if (++m_ticks > kHalvingTicks) {
        m_running = false;
        m_previous = 0;
        return m_remaining;
    }
    m_previous = m_remaining / 2;
    return m_previous;
}

} // namespace quillon
