#pragma once

#include <atomic>
#include <mutex>
#include <vector>

namespace quillon {

class Socket;

// Ends network work from another thread: throwing it aborts every socket
// attached to it, waking whatever wait the socket is in (a connect too),
// and a socket attached afterwards fails at once. Work whose outcome nobody
// wants any more is stopped this way instead of running to its limits.
class AbortSwitch {
public:
    void abort();
    bool isAborted() const { return m_aborted; }

private:
    friend class Socket;
    void attach(Socket& socket);
    void detach(Socket& socket);

    std::mutex m_mutex;
    std::vector<Socket*> m_sockets;
    std::atomic<bool> m_aborted{false};
};

} // namespace quillon
