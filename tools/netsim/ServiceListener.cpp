#include "ServiceListener.h"

#include "ConnectionPool.h"
#include "EventLog.h"
#include "ServiceRequest.h"

namespace quillon {

namespace {

// The shop waits this long for each step; so does the service.
constexpr int kIdleLimitMs = 10000;
// How often the accept thread looks at its stop flag.
constexpr int kAcceptWaitMs = 200;
constexpr int kBacklog = 64;

} // namespace

ServiceListener::ServiceListener(ServicePort port, ConnectionPool& pool,
                                 const ServiceContext& context)
    : m_port(port), m_pool(pool), m_context(context) {}

bool ServiceListener::listen(const std::string& host, int port, std::string& error) {
    m_socket.SetReadIdleLimit(kIdleLimitMs);
    m_socket.SetSendIdleLimit(kIdleLimitMs);
    if (!m_socket.BindAndListen(port, kBacklog, host)) {
        error = "cannot listen on " + host + ":" + std::to_string(port) + ": " +
                m_socket.LastErrorText();
        return false;
    }
    return true;
}

void ServiceListener::start() {
    m_thread = std::thread([this] { run(); });
}

void ServiceListener::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void ServiceListener::run() {
    while (!m_stop) {
        std::unique_ptr<Socket> connection = m_socket.AcceptNextConnection(kAcceptWaitMs);
        if (!connection)
            continue;
        std::string peer = connection->PeerAddress() + " #" + std::to_string(m_pool.nextId());
        bool started = m_pool.start(std::move(connection), [this, peer](Socket& socket) {
            serveConnection(socket, m_port, peer, m_context);
        });
        if (!started)
            m_context.log.write(peer, "refused: too many connections at once");
    }
}

} // namespace quillon
