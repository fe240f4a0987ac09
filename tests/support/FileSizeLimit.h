#pragma once

#include <csignal>
#include <cstdint>
#include <sys/resource.h>

namespace testsupport {

// Makes writes fail for real, also for root: while it lives, no file of
// this process may grow past `bytes` (a write past it fails with EFBIG
// instead of raising SIGXFSZ). Child processes started meanwhile inherit
// the limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    struct sigaction m_savedAction {};
    bool m_active = false;
};

} // namespace testsupport
