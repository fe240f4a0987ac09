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
        m_committed = std::make_shared<const StatusTable>(std::move(opening->table));
        opening->table = {};
        handBack([this, opening, table = m_committed] { takeOpening(std::move(*opening), table); });
    });
}

void StatusStore::takeOpening(StatusOpening opening, Table statuses) {
    m_answered = true;
    m_open = opening.state != StatusOpening::State::Failed;
    m_failed = !m_open;
    m_statuses = std::move(statuses);
    emit opened(opening);
}

StatusStore::Table StatusStore::changedTable(const std::vector<OrderKey>& orders,
                                             OrderStatus status) {
    auto table = std::make_shared<StatusTable>(*m_committed);
    table->set(orders, status);
    m_committed = table;
    return m_committed;
}

OrderStatus StatusStore::statusOf(const OrderKey& order) const {
    return m_statuses->statusOf(order);
}

OrderStatus StatusStore::statusOf(const OrderEntry& order) const {
    return m_statuses->statusOf(keyOf(order));
}

uint64_t StatusStore::requestChange(std::vector<OrderKey> orders, OrderStatus status,
                                    std::string station) {
    if (m_failed || !m_thread.joinable())
        return 0;
    const uint64_t request = m_nextRequest++;
    const int64_t time = m_clock.now();
    post([this, request, orders = std::move(orders), status, station = std::move(station),
          time](StatusDatabase& db) {
        std::optional<std::vector<StatusChange>> made = db.change(orders, status, time, station);
        if (!made) {
            handBack([this, request, error = QString::fromStdString(db.lastError())] {
                emit changeFailed(request, error);
            });
            return;
        }
        Table table = m_committed;
        if (!made->empty()) {
            std::vector<OrderKey> changed;
            changed.reserve(made->size());
            for (const StatusChange& change : *made)
                changed.push_back(change.order);
            table = changedTable(changed, status);
        }
        handBack([this, request, table, changes = std::move(*made)] {
            m_statuses = table;
            emit changesCommitted(request, changes);
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

void StatusStore::forget(std::shared_ptr<const std::vector<OrderKey>> orders) {
    if (!m_thread.joinable())
        return;
    post([this, orders = std::move(orders)](StatusDatabase& db) {
        db.forget(*orders);
        handBack([this, table = changedTable(*orders, OrderStatus::New)] { m_statuses = table; });
    });
}

void StatusStore::recordTold(OrderKey order, CustomerTold told, std::string note) {
    if (m_thread.joinable())
        post([order = std::move(order), told, note = std::move(note)](StatusDatabase& db) {
            db.recordTold(order, told, note);
        });
}

} // namespace quillon
