#include "support/FileSizeLimit.h"

namespace testsupport {

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
        return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    if (sigaction(SIGXFSZ, &ignore, &m_savedAction) != 0)
        return;
    rlimit small = m_saved;
    small.rlim_cur = rlim_t(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    if (!m_active)
        sigaction(SIGXFSZ, &m_savedAction, nullptr);
}

FileSizeLimit::~FileSizeLimit() {
    if (!m_active)
        return;
    setrlimit(RLIMIT_FSIZE, &m_saved);
    sigaction(SIGXFSZ, &m_savedAction, nullptr);
}

} // namespace testsupport
