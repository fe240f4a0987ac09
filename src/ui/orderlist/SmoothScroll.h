#pragma once

namespace quillon {

// The animated scroll that follows a toggle, one move per 40-ms tick:
// half the distance at once, then on each of 8 ticks half of what is left
// after the move before, and whatever remains on the tick after those, so
// that the moves add up to the distance.
class SmoothScroll {
public:
    static constexpr int kTickMs = 40;
    static constexpr int kHalvingTicks = 8;

    // Starts over with `distance` and returns the first move.
    int start(int distance);
    bool isRunning() const { return m_running; }
    // The next move; the last one stops the scroll.
    int tick();

private:
    int m_remaining = 0;
    int m_previous = 0;
    int m_ticks = 0;
    bool m_running = false;
};

} // namespace quillon
