#include "board/CounterBoard.h"

#include "orders/OrderBook.h"
#include "status/StatusStore.h"

#include <QPointer>

// The pages are resources of this static library; they must be registered
// from outside any namespace.
static void registerBoardPages() {
    Q_INIT_RESOURCE(pages);
}

namespace quillon {

CounterBoard::CounterBoard(const OrderBook& book, const Clock& clock, StatusStore* statuses,
                           QObject* parent)
    : QObject(parent), m_book(book), m_clock(clock), m_statuses(statuses),
      m_generation(std::make_shared<std::atomic<uint64_t>>(1)) {
    registerBoardPages();
    m_thread.setObjectName("counter board");
    connect(&book, &OrderBook::orderInserted, this, &CounterBoard::orderInserted);
    connect(&book, &OrderBook::ordersReset, this, &CounterBoard::ordersReset);
    if (m_statuses) {
        connect(m_statuses, &StatusStore::opened, this, &CounterBoard::sendStatuses);
        connect(m_statuses, &StatusStore::changesCommitted, this, &CounterBoard::committed);
        connect(m_statuses, &StatusStore::changeFailed, this, &CounterBoard::failed);
    }
}

CounterBoard::~CounterBoard() {
    stop();
}

void CounterBoard::start(const BoardConfig& config) {
    stop();
    m_server = new BoardServer(m_book, m_clock, m_generation);
    ++m_run;
    if (m_statuses) {
        // Called on the board's thread; this object outlives that thread.
        m_server->setAskShop([this, run = m_run](uint64_t ticket, const BoardShopQuery& query) {
            QMetaObject::invokeMethod(this,
                                      [this, run, ticket, query] { askShop(run, ticket, query); });
        });
    }
    m_server->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    connect(m_server, &BoardServer::started, this, [this](int port, const QString& line) {
        emit statusLine(line);
        emit started(port);
    });
    m_thread.start();
    QMetaObject::invokeMethod(m_server, [server = m_server, config] { server->start(config); });
    ordersReset();
}

void CounterBoard::sendStatuses() {
    if (m_server && m_statuses)
        QMetaObject::invokeMethod(m_server, [server = m_server, table = m_statuses->table()] {
            server->takeStatuses(table);
        });
}

void CounterBoard::askShop(uint64_t run, uint64_t ticket, const BoardShopQuery& query) {
    if (run != m_run || !m_server)
        return;
    if (!query.change)
        return sendHistory(run, ticket, query.order);
    const quint64 request = m_statuses->requestChange({query.order}, *query.change, query.station);
    if (request == 0)
        return answer(run, ticket, {false, "the status database cannot be used", {}});
    m_changes.emplace(request, Change{run, ticket, query.order});
}

void CounterBoard::committed(quint64 request, const std::vector<StatusChange>& changes) {
    // The board takes the change in before it answers the request that made it.
    if (m_server && !changes.empty())
        QMetaObject::invokeMethod(m_server,
                                  [server = m_server, changes] { server->takeChanges(changes); });
    const auto found = m_changes.find(request);
    if (found == m_changes.end())
        return;
    const Change change = found->second;
    m_changes.erase(found);
    sendHistory(change.run, change.ticket, change.order);
}

void CounterBoard::failed(quint64 request, const QString& error) {
    const auto found = m_changes.find(request);
    if (found == m_changes.end())
        return;
    const Change change = found->second;
    m_changes.erase(found);
    answer(change.run, change.ticket, {false, error, {}});
}

void CounterBoard::sendHistory(uint64_t run, uint64_t ticket, const OrderKey& order) {
    m_statuses->requestHistory(order, [self = QPointer<CounterBoard>(this), run,
                                       ticket](std::vector<StatusHistoryEntry> history) {
        if (self)
            self->answer(run, ticket, {true, {}, std::move(history)});
    });
}

void CounterBoard::answer(uint64_t run, uint64_t ticket, BoardShopAnswer answer) {
    if (run != m_run || !m_server)
        return;
    QMetaObject::invokeMethod(m_server, [server = m_server, ticket, answer = std::move(answer)] {
        server->shopAnswered(ticket, answer);
    });
}

void CounterBoard::stop() {
    if (!m_server)
        return;
    m_thread.quit();
    m_thread.wait();
    m_server = nullptr;
    m_changes.clear();
}

void CounterBoard::setPasswordHash(const std::string& hash) {
    if (m_server)
        QMetaObject::invokeMethod(m_server,
                                  [server = m_server, hash] { server->setPasswordHash(hash); });
}

void CounterBoard::orderInserted(int index) {
    if (!m_server)
        return;
    // The book changes only on this thread, so `index` still names the order.
    auto copy = m_book.withOrders([index](const OrderBook::Orders& orders) {
        return std::shared_ptr<OrderEntry>(BoardOrders::copyOf(*orders[size_t(index)]));
    });
    QMetaObject::invokeMethod(m_server, [server = m_server, g = m_generation->load(), copy] {
        server->addOrder(g, copy);
    });
}

void CounterBoard::ordersReset() {
    const uint64_t generation = ++*m_generation;
    if (m_server)
        QMetaObject::invokeMethod(
            m_server, [server = m_server, generation] { server->copyBook(generation); });
    // The statuses matched anew with the orders now listed.
    sendStatuses();
}

} // namespace quillon
