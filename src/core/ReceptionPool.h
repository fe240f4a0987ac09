#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace quillon {

class Socket;

// The reception workers in flight: one thread per order server 1
// connection, at a lower priority than the UI. Each worker's connection can
// be aborted from the UI thread, which makes the worker end.
class ReceptionPool {
public:
    ReceptionPool() = default;
    ~ReceptionPool();
    ReceptionPool(const ReceptionPool&) = delete;
    ReceptionPool& operator=(const ReceptionPool&) = delete;

    // Runs `work` on a new thread; abortAll() aborts `connection` to make
    // the work end early.
    uint64_t start(std::shared_ptr<Socket> connection, std::function<void()> work);
    // Joins the workers that have ended.
    void collectFinished();
    // Aborts every connection and waits for all workers.
    void abortAll();

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<Socket> connection;
        bool done = false;
    };
    void reap();

    mutable std::mutex m_mutex;
    std::map<uint64_t, Worker> m_workers;
    uint64_t m_nextId = 1;
};

} // namespace quillon
