#include "core/ReceptionPool.h"

#include "core/ThreadPriority.h"
#include "netlib/Socket.h"

#include <algorithm>
#include <vector>

namespace quillon {

ReceptionPool::ReceptionPool(size_t capacity) : m_capacity(capacity ? capacity : 1) {}

ReceptionPool::~ReceptionPool() {
    abortAll();
}

uint64_t ReceptionPool::start(std::shared_ptr<Socket> connection, std::function<void()> work) {
    std::lock_guard lock(m_mutex);
    reap();
    uint64_t id = m_nextId++;
    Worker& w = m_workers[id];
    w.connection = std::move(connection);
    m_peakActive = std::max(m_peakActive, ++m_active);
    w.thread = std::thread([this, id, work = std::move(work)] {
        lowerThisThreadsPriority();
        work();
        std::lock_guard lock(m_mutex);
        --m_active;
        auto it = m_workers.find(id);
        if (it != m_workers.end())
            it->second.done = true;
        m_workerEnded.notify_all();
    });
    return id;
}

bool ReceptionPool::waitForRoom(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    if (!m_workerEnded.wait_for(lock, wait, [this] { return m_active < m_capacity; }))
        return false;
    reap();
    return true;
}

size_t ReceptionPool::active() const {
    std::lock_guard lock(m_mutex);
    return m_active;
}

size_t ReceptionPool::peakActive() const {
    std::lock_guard lock(m_mutex);
    return m_peakActive;
}

void ReceptionPool::collectFinished() {
    std::lock_guard lock(m_mutex);
    reap();
}

// Joins the workers whose work has returned. Called under the lock; a done
// worker no longer takes it, so joining here cannot wait for ourselves.
void ReceptionPool::reap() {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->second.done) {
            it->second.thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void ReceptionPool::abortAll() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        for (auto& [id, w] : m_workers) {
            if (w.connection)
                w.connection->Abort();
            threads.push_back(std::move(w.thread));
        }
        m_workers.clear();
    }
    for (std::thread& t : threads)
        if (t.joinable())
            t.join();
}

} // namespace quillon
