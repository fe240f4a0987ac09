#include "core/OrderServer.h"

#include "core/ThreadHop.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>

namespace quillon {

namespace {

// How long one wait for admission lasts before the stop flag is asked again.
constexpr std::chrono::milliseconds kAdmissionWait{100};
// The largest receive of an accepted connection, in bytes.
constexpr int kMaxReceiveSize = 32768;
// Connections the system holds for a server until its thread takes them.
constexpr int kListenBacklog = 25;
// One slice of the wait for a peer's opening bytes.
constexpr int kOpeningSliceMs = 100;

// One receive of whatever the peer sends first, within the connection's read
// idle limit, but in short slices so that a stop is noticed at once. Done on
// the accept thread, so a silent peer never holds the window up.
bool receiveOpening(Socket& s, ByteData& opening, const std::atomic<bool>& stop) {
    using namespace std::chrono;
    const int limit = s.ReadIdleLimit() > 0 ? s.ReadIdleLimit() : Socket::kDefaultIdleLimitMs;
    const auto deadline = steady_clock::now() + milliseconds(limit);
    s.SetReadIdleLimit(kOpeningSliceMs);
    bool received = false;
    while (!stop.load() && steady_clock::now() < deadline) {
        if ((received = s.ReceiveBytes(opening)) || !s.TimedOut())
            break;
    }
    s.SetReadIdleLimit(limit);
    return received;
}

} // namespace

OrderServer::~OrderServer() {
    stop();
}

bool OrderServer::listen(int port, const std::string& address) {
    if (m_listener.IsListening())
        return true;
    m_listener.SetMaxReceiveSize(kMaxReceiveSize);
    return m_listener.BindAndListen(port, kListenBacklog, address);
}

void OrderServer::startThread(AcceptLoop loop) {
    m_ended = false;
    m_thread = std::thread([this, loop = std::move(loop)] { run(loop); });
}

void OrderServer::run(const AcceptLoop& loop) {
    while (!loop.stop->load()) {
        if (loop.admission && !loop.admission(kAdmissionWait))
            continue;
        AcceptedConnection connection{m_listener.AcceptNextConnection(loop.acceptWaitMs), {}};
        if (!connection.socket)
            continue;
        if (loop.converseHere) {
            if (receiveOpening(*connection.socket, connection.opening, *loop.stop))
                loop.handler(std::move(connection));
            continue;
        }
        runOnThreadAndWait(
            loop.context, [&] { loop.handler(std::move(connection)); }, *loop.abandon);
    }
    m_ended = true;
    QMetaObject::invokeMethod(loop.context, loop.ended, Qt::QueuedConnection);
}

void OrderServer::stop() {
    if (m_thread.joinable())
        m_thread.join();
    m_listener.Close();
}

} // namespace quillon
