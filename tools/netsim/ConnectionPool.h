#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace quillon {

class Socket;

// One thread per connection, at most `limit` at once. Finished threads are
// joined as new connections come; stopping wakes every waiting socket and
// joins them all.
class ConnectionPool {
public:
    explicit ConnectionPool(size_t limit) : m_limit(limit) {}
    ~ConnectionPool() { stopAll(); }
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // False when `limit` connections are being served; the socket is then
    // closed at once.
    bool start(std::unique_ptr<Socket> socket, std::function<void(Socket&)> serve);
    void stopAll();
    // A number for each connection, so the log can tell them apart.
    uint64_t nextId() { return ++m_lastId; }

private:
    struct Worker {
        std::unique_ptr<Socket> socket;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void reapLocked();

    size_t m_limit;
    std::mutex m_mutex;
    std::list<std::unique_ptr<Worker>> m_workers;
    std::atomic<uint64_t> m_lastId{0};
};

} // namespace quillon
