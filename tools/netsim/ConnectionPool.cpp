#include "ConnectionPool.h"

#include "netlib/Socket.h"

namespace quillon {

void ConnectionPool::reapLocked() {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

bool ConnectionPool::start(std::unique_ptr<Socket> socket, std::function<void(Socket&)> serve) {
    std::lock_guard lock(m_mutex);
    reapLocked();
    if (m_workers.size() >= m_limit)
        return false;
    auto worker = std::make_unique<Worker>();
    worker->socket = std::move(socket);
    Worker* w = worker.get();
    m_workers.push_back(std::move(worker));
    w->thread = std::thread([w, serve = std::move(serve)] {
        serve(*w->socket);
        w->socket->Close();
        w->done = true;
    });
    return true;
}

void ConnectionPool::stopAll() {
    std::list<std::unique_ptr<Worker>> workers;
    {
        std::lock_guard lock(m_mutex);
        for (auto& w : m_workers)
            w->socket->Abort();
        workers.swap(m_workers);
    }
    for (auto& w : workers)
        w->thread.join();
}

} // namespace quillon
