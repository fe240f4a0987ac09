#include "core/RequestRunner.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>

namespace quillon {

RequestRunner::RequestRunner(QObject* parent) : QObject(parent) {}

RequestRunner::~RequestRunner() {
    // Outcomes posted after this point are dropped with the object.
    abandon();
    for (auto& [id, worker] : m_workers)
        if (worker.thread.joinable())
            worker.thread.join();
}

void RequestRunner::abandon() {
    m_hangUp->abort();
    for (auto& [id, worker] : m_workers)
        worker.abandoned = worker.abandoned || worker.abandonable;
}

bool RequestRunner::isRunning(const std::string& name) const {
    for (const auto& [id, worker] : m_workers)
        if (worker.name == name && !worker.abandoned)
            return true;
    return false;
}

bool RequestRunner::isIdle() const {
    return std::all_of(m_workers.begin(), m_workers.end(),
                       [](const auto& entry) { return entry.second.abandoned; });
}

bool RequestRunner::start(const std::string& name, std::function<void()> work,
                          std::function<void()> deliver, Abandon abandon) {
    if (!name.empty() && isRunning(name))
        return false;
    const bool wasIdle = isIdle();
    const uint64_t id = m_nextId++;
    Worker& worker = m_workers[id];
    worker.name = name;
    worker.abandonable = abandon == Abandon::Yes;
    worker.abandoned = worker.abandonable && m_hangUp->isAborted();
    worker.thread =
        std::thread([this, id, work = std::move(work), deliver = std::move(deliver)]() mutable {
            work();
            QMetaObject::invokeMethod(
                this, [this, id, deliver = std::move(deliver)] { finished(id, deliver); },
                Qt::QueuedConnection);
        });
    if (wasIdle && !isIdle())
        emit busyChanged(true);
    return true;
}

void RequestRunner::finished(uint64_t id, const std::function<void()>& deliver) {
    auto it = m_workers.find(id);
    if (it == m_workers.end())
        return;
    it->second.thread.join();
    const bool abandoned = it->second.abandoned;
    m_workers.erase(it);
    if (abandoned)
        return;
    // The caller may start the next request from `deliver`; the runner is
    // idle only when none was started.
    QPointer<RequestRunner> self(this);
    deliver();
    if (self && isIdle()) {
        emit busyChanged(false);
        emit idle();
    }
}

} // namespace quillon
