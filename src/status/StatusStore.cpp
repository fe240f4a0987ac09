#include "status/StatusStore.h"

#include "orders/Clock.h"

#include <utility>

namespace quillon {

StatusStore::StatusStore(std::string databasePath, const Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock),
      m_database(std::make_unique<StatusDatabase>(std::move(databasePath))) {}

StatusStore::~StatusStore() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void StatusStore::post(Job job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void StatusStore::handBack(std::function<void()> deliver) {
    // Dropped with the store when it goes first.
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

// The database thread: the connection is opened, used and closed here only.
void StatusStore::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(*m_database);
    }
    m_database.reset();
}

void StatusStore::open() {
    if (m_thread.joinable())
        return;
    m_thread = std::thread([this] { run(); });
    const int64_t now = m_clock.now();
    post([this, now](StatusDatabase& db) {
        auto opening = std::make_shared<StatusOpening>(db.open(now));
        // The look-up is built here, so the list's thread only takes it.
        auto statuses = std::make_shared<Statuses>();
        statuses->reserve(opening->rows.size());
        for (StatusRow& row : opening->rows)
            statuses->emplace(std::move(row.order), row.status);
        opening->rows.clear();
        handBack(
            [this, opening, statuses] { takeOpening(std::move(*opening), std::move(*statuses)); });
    });
}

void StatusStore::takeOpening(StatusOpening opening, Statuses statuses) {
    m_answered = true;
    m_open = opening.state != StatusOpening::State::Failed;
    m_failed = !m_open;
    m_statuses = std::move(statuses);
    emit opened(opening);
}

OrderStatus StatusStore::statusOf(const OrderKey& order) const {
    const auto found = m_statuses.find(order);
    return found == m_statuses.end() ? OrderStatus::New : found->second;
}

uint64_t StatusStore::requestChange(std::vector<OrderKey> orders, OrderStatus status,
                                    std::string station) {
    if (m_failed || !m_thread.joinable())
        return 0;
    const uint64_t request = m_nextRequest++;
    const int64_t time = m_clock.now();
    post([this, request, orders = std::move(orders), status, station = std::move(station),
          time](StatusDatabase& db) {
        auto made = std::make_shared<std::optional<std::vector<StatusChange>>>(
            db.change(orders, status, time, station));
        const QString error = QString::fromStdString(db.lastError());
        handBack([this, request, made, error] {
            if (!*made) {
                emit changeFailed(request, error);
                return;
            }
            for (const StatusChange& change : **made) {
                if (change.status == OrderStatus::New)
                    m_statuses.erase(change.order);
                else
                    m_statuses.insert_or_assign(change.order, change.status);
            }
            emit changesCommitted(request, **made);
        });
    });
    return request;
}

void StatusStore::requestHistory(OrderKey order,
                                 std::function<void(std::vector<StatusHistoryEntry>)> done) {
    if (!m_thread.joinable())
        return done({});
    post([this, order = std::move(order), done = std::move(done)](StatusDatabase& db) {
        auto entries = std::make_shared<std::vector<StatusHistoryEntry>>(db.history(order));
        handBack([entries, done] { done(std::move(*entries)); });
    });
}

void StatusStore::forget(std::vector<OrderKey> orders) {
    for (const OrderKey& order : orders)
        m_statuses.erase(order);
    if (m_thread.joinable())
        post([orders = std::move(orders)](StatusDatabase& db) { db.forget(orders); });
}

void StatusStore::recordTold(OrderKey order, CustomerTold told, std::string note) {
    if (m_thread.joinable())
        post([order = std::move(order), told, note = std::move(note)](StatusDatabase& db) {
            db.recordTold(order, told, note);
        });
}

} // namespace quillon
