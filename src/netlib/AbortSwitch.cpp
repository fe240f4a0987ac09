#include "netlib/AbortSwitch.h"

#include "netlib/Socket.h"

#include <algorithm>

namespace quillon {

void AbortSwitch::abort() {
    m_aborted = true;
    std::lock_guard lock(m_mutex);
    for (Socket* socket : m_sockets)
        socket->Abort();
}

void AbortSwitch::attach(Socket& socket) {
    std::lock_guard lock(m_mutex);
    m_sockets.push_back(&socket);
    if (m_aborted)
        socket.Abort();
}

void AbortSwitch::detach(Socket& socket) {
    std::lock_guard lock(m_mutex);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), &socket), m_sockets.end());
}

} // namespace quillon
