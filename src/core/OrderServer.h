#pragma once

#include "netlib/Socket.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class QObject;

namespace quillon {

// An accepted connection and, when its server reads it first, the peer's
// opening bytes.
struct AcceptedConnection {
    std::unique_ptr<Socket> socket;
    ByteData opening;
};

// One order server: a listening socket and the thread that accepts its
// connections. Each accepted connection is handed to `handler` on the
// context object's thread (the UI thread), and the accept thread waits for
// the handler to return before it accepts the next one.
class OrderServer {
public:
    using Handler = std::function<void(AcceptedConnection)>;

    OrderServer() = default;
    ~OrderServer();
    OrderServer(const OrderServer&) = delete;
    OrderServer& operator=(const OrderServer&) = delete;

    // Binds and listens (maximum receive 32768, backlog 25). Already
    // listening counts as success: its thread keeps the socket.
    bool listen(int port, const std::string& address);
    bool isListening() const { return m_listener.IsListening(); }
    int port() const { return m_listener.LocalPort(); }
    const std::string& lastError() const { return m_listener.LastErrorText(); }

    bool threadRunning() const { return m_thread.joinable(); }
    // Starts the accept loop. `stop` is asked after every wait; `ended` is
    // queued to the context when the loop ends. The context must outlive
    // the thread: its owner calls stop() before it goes. With `readOpening`
    // the thread receives what the peer sends first before handing the
    // connection over, and drops a connection that sends nothing.
    void startThread(QObject* context, Handler handler, const std::atomic<bool>* stop,
                     std::function<void()> ended, int acceptWaitMs, bool readOpening = false);
    // Waits for an ended accept loop and closes the listening socket.
    void stop();

private:
    void run(QObject* context, Handler handler, const std::atomic<bool>* stop,
             std::function<void()> ended, int acceptWaitMs, bool readOpening);

    Socket m_listener;
    std::thread m_thread;
};

} // namespace quillon
