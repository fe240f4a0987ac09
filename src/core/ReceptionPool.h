#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
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
// be aborted from the UI thread, which makes the worker end. At most
// `capacity` workers run at once: the accept thread waits for room before it
// takes the next connection, so later peers wait in the listen backlog.
class ReceptionPool {
public:
    static constexpr size_t kDefaultCapacity = 64;

    explicit ReceptionPool(size_t capacity = kDefaultCapacity);
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

    // True as soon as fewer than `capacity` workers run; false when none
    // ended within `wait`.
    bool waitForRoom(std::chrono::milliseconds wait);
    // Workers whose work has not returned yet, and the most there ever were.
    size_t active() const;
    size_t peakActive() const;

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<Socket> connection;
        bool done = false;
    };
    void reap();

    const size_t m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_workerEnded;
    std::map<uint64_t, Worker> m_workers;
    size_t m_active = 0;
    size_t m_peakActive = 0;
    uint64_t m_nextId = 1;
};

} // namespace quillon
