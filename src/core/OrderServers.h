#pragma once

#include "core/OrderServer.h"

#include <QObject>
#include <array>
#include <atomic>

namespace quillon {

class StatusLines;
struct ShopConfig;

// The shop's two order servers and its on-line state. It lives on the
// user-interface thread; each server's accept loop runs on a thread of its
// own and hands its connections over as its handler says.
class OrderServers : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        // Order server 1: each connection, on this thread, taken only while
        // `admission` lets it.
        AcceptLoop::Handler reception;
        AcceptLoop::Admission admission;
        // Order server 2: each connection with the peer's opening, on the
        // server's own thread.
        AcceptLoop::Handler registration;
    };

    // `closing` is set when the shop is going away: hand-overs still queued
    // are dropped.
    OrderServers(const ShopConfig& config, StatusLines& status, const std::atomic<bool>& closing,
                 Handlers handlers, QObject* parent = nullptr);
    ~OrderServers() override;

    // Listens on both ports and starts the accept loops that do not run;
    // stays off-line when a port cannot be bound.
    void start();
    // Asks both accept loops to end; the first end notice takes the shop
    // off-line.
    void stop();
    // The shop is going away: both loops are stopped and their threads
    // joined.
    void close();

    bool isOffline() const { return m_offline; }
    // What a registration's step reads on this thread.
    const bool* offlineFlag() const { return &m_offline; }
    // An accept loop has not been joined yet.
    bool isRunning() const;
    int server1Port() const { return m_servers[0].server.port(); }
    int server2Port() const { return m_servers[1].server.port(); }
    bool server1Running() const { return m_servers[0].server.threadRunning(); }
    bool server2Running() const { return m_servers[1].server.threadRunning(); }

signals:
    void onlineChanged(bool online);
    // An accept loop's end notice has been taken.
    void loopEnded();

private:
    struct Server {
        OrderServer server;
        // Its "started" line still wants its "off-line" line.
        bool announced = false;
    };
    // False when the server's port cannot be bound.
    bool startServer(size_t index, int port, AcceptLoop loop);
    void takeEndNotice();

    const ShopConfig& m_config;
    StatusLines& m_status;
    const std::atomic<bool>& m_closing;
    Handlers m_handlers;
    bool m_offline = true;
    std::atomic<bool> m_stopRequested{false};
    std::array<Server, 2> m_servers;
};

} // namespace quillon
