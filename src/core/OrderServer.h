#pragma once

#include "netlib/Socket.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class QObject;

namespace quillon {

// How long one wait for a connection lasts before the stop flag is asked
// again.
inline constexpr int kAcceptWaitMs = 2000;

// An accepted connection and, when its server reads it first, the peer's
// opening bytes.
struct AcceptedConnection {
    std::unique_ptr<Socket> socket;
    ByteData opening;
};

// How an accept thread runs. Each accepted connection goes to `handler`,
// and the thread accepts the next one only after the handler has returned.
struct AcceptLoop {
    using Handler = std::function<void(AcceptedConnection)>;
    // True when a connection may be taken now; may wait up to the time given.
    using Admission = std::function<bool(std::chrono::milliseconds)>;

    // The object whose thread gets the connections and the end notice. It
    // must outlive the thread: its owner calls stop() before it goes.
    QObject* context = nullptr;
    Handler handler;
    // Asked after every accept wait.
    const std::atomic<bool>* stop = nullptr;
    // Set when the context is going away: a hand-over still queued is
    // dropped.
    const std::atomic<bool>* abandon = nullptr;
    // Queued to the context when the loop ends.
    std::function<void()> ended;
    int acceptWaitMs = kAcceptWaitMs;
    // When set, holds the loop back while it refuses, asking it again in
    // short waits so that a stop is still noticed.
    Admission admission;
    // False: the handler runs on the context's thread. True: the thread
    // first receives what the peer sends (dropping a connection that sends
    // nothing), then runs the handler itself, so a slow peer never holds
    // the window up.
    bool converseHere = false;
};

// One order server: a listening socket and the thread that accepts its
// connections.
class OrderServer {
public:
    OrderServer() = default;
    ~OrderServer();
    OrderServer(const OrderServer&) = delete;
    OrderServer& operator=(const OrderServer&) = delete;

    // Binds and listens. Already listening counts as success: its thread
    // keeps the socket.
    bool listen(int port, const std::string& address);
    int port() const { return m_listener.LocalPort(); }

    bool threadRunning() const { return m_thread.joinable(); }
    // The accept loop has ended; its thread can be joined at once.
    bool threadEnded() const { return m_ended.load(); }
    void startThread(AcceptLoop loop);
    // Waits for an ended accept loop and closes the listening socket.
    void stop();

private:
    void run(const AcceptLoop& loop);

    Socket m_listener;
    std::thread m_thread;
    std::atomic<bool> m_ended{false};
};

} // namespace quillon
