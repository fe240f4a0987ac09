#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace quillon {

// One readable line per event: local time with milliseconds, the peer,
// and what happened. Lines from different connection threads never mix.
class EventLog {
public:
    explicit EventLog(std::FILE* stream = stderr) : m_stream(stream) {}

    void write(std::string_view peer, std::string_view text);

private:
    std::FILE* m_stream;
    std::mutex m_mutex;
};

} // namespace quillon
