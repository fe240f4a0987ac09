#pragma once

#include "orders/Clock.h"

#include <atomic>
#include <cstdint>

namespace testsupport {

// A clock that the test sets by hand; safe to read from the shop's workers.
class ManualClock : public quillon::Clock {
public:
    explicit ManualClock(int64_t t = 0) : m_now(t) {}
    int64_t now() const override { return m_now.load(); }
    void set(int64_t t) { m_now = t; }
    void advance(int64_t seconds) { m_now += seconds; }

private:
    std::atomic<int64_t> m_now;
};

} // namespace testsupport
