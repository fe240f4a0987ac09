#include "core/RequestRunner.h"

#include <QMetaObject>
#include <QPointer>

namespace quillon {

RequestRunner::RequestRunner(QObject* parent) : QObject(parent) {}

RequestRunner::~RequestRunner() {
    // Outcomes posted after this point are dropped with the object.
    for (auto& [id, worker] : m_workers)
        if (worker.thread.joinable())
            worker.thread.join();
}

bool RequestRunner::isRunning(const std::string& name) const {
    for (const auto& [id, worker] : m_workers)
        if (worker.name == name)
            return true;
    return false;
}

bool RequestRunner::start(const std::string& name, std::function<void()> work,
                          std::function<void()> deliver) {
    if (!name.empty() && isRunning(name))
        return false;
    const bool wasIdle = m_workers.empty();
    const uint64_t id = m_nextId++;
    Worker& worker = m_workers[id];
    worker.name = name;
    worker.thread =
        std::thread([this, id, work = std::move(work), deliver = std::move(deliver)]() mutable {
            work();
            QMetaObject::invokeMethod(
                this, [this, id, deliver = std::move(deliver)] { finished(id, deliver); },
                Qt::QueuedConnection);
        });
    if (wasIdle)
        emit busyChanged(true);
    return true;
}

void RequestRunner::finished(uint64_t id, const std::function<void()>& deliver) {
    auto it = m_workers.find(id);
    if (it == m_workers.end())
        return;
    it->second.thread.join();
    m_workers.erase(it);
    // The caller may start the next request from `deliver`; the runner is
    // idle only when none was started.
    QPointer<RequestRunner> self(this);
    deliver();
    if (self && m_workers.empty()) {
        emit busyChanged(false);
        emit idle();
    }
}

} // namespace quillon
