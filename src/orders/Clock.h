#pragma once

#include <cstdint>
#include <ctime>

namespace quillon {

// The one source of "now" for the shop, so tests can set the time.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970, UTC.
    virtual int64_t now() const = 0;
    // The local broken-down time of now().
    std::tm localNow() const { return localTime(now()); }

    static std::tm localTime(int64_t t) {
        std::time_t tt = std::time_t(t);
        std::tm tm{};
        localtime_r(&tt, &tm);
        return tm;
    }
};

class SystemClock : public Clock {
public:
    int64_t now() const override { return int64_t(std::time(nullptr)); }
};

} // namespace quillon
