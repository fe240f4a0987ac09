#include "core/OrderServer.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <future>

namespace quillon {

namespace {

// One receive of whatever the peer sends first, within the connection's read
// idle limit, but in short slices so that a stop is noticed at once. Done on
// the accept thread, so a silent peer never holds the window up.
bool receiveOpening(Socket& s, ByteData& opening, const std::atomic<bool>& stop) {
    using namespace std::chrono;
    const int limit = s.ReadIdleLimit() > 0 ? s.ReadIdleLimit() : Socket::kDefaultIdleLimitMs;
    const auto deadline = steady_clock::now() + milliseconds(limit);
    s.SetReadIdleLimit(100);
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
    m_listener.SetMaxReceiveSize(32768);
    return m_listener.BindAndListen(port, 25, address);
}

void OrderServer::startThread(QObject* context, Handler handler, const std::atomic<bool>* stop,
                              std::function<void()> ended, int acceptWaitMs, bool readOpening) {
    m_thread = std::thread(&OrderServer::run, this, context, std::move(handler), stop,
                           std::move(ended), acceptWaitMs, readOpening);
}

void OrderServer::run(QObject* context, Handler handler, const std::atomic<bool>* stop,
                      std::function<void()> ended, int acceptWaitMs, bool readOpening) {
    while (!stop->load()) {
        AcceptedConnection connection{m_listener.AcceptNextConnection(acceptWaitMs), {}};
        if (!connection.socket ||
            (readOpening && !receiveOpening(*connection.socket, connection.opening, *stop)))
            continue;
        // Hand the connection over and wait until the handler has run. If the
        // context drops the queued call (it is going away), the promise breaks
        // and the wait ends. A stop also ends the wait, so the
        // UI thread may join this thread without waiting for itself.
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> handled = done->get_future();
        auto accepted = std::make_shared<AcceptedConnection>(std::move(connection));
        QMetaObject::invokeMethod(
            context,
            [handler, accepted, done] {
                handler(std::move(*accepted));
                done->set_value();
            },
            Qt::QueuedConnection);
        done.reset();
        while (handled.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            if (stop->load())
                break;
    }
    QMetaObject::invokeMethod(context, std::move(ended), Qt::QueuedConnection);
}

void OrderServer::stop() {
    if (m_thread.joinable())
        m_thread.join();
    m_listener.Close();
}

} // namespace quillon
