#pragma once

#include "RequestDispatcher.h"

#include "netlib/Socket.h"

#include <atomic>
#include <string>
#include <thread>

namespace quillon {

class ConnectionPool;
struct ServiceContext;

// One listening port of the service and its accept thread, which hands
// each connection to the pool.
class ServiceListener {
public:
    ServiceListener(ServicePort port, ConnectionPool& pool, const ServiceContext& context);
    ~ServiceListener() { stop(); }
    ServiceListener(const ServiceListener&) = delete;
    ServiceListener& operator=(const ServiceListener&) = delete;

    // Port 0 picks a free port.
    bool listen(const std::string& host, int port, std::string& error);
    int port() const { return m_socket.LocalPort(); }
    void start();
    void stop();

private:
    void run();

    ServicePort m_port;
    ConnectionPool& m_pool;
    const ServiceContext& m_context;
    Socket m_socket;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace quillon
