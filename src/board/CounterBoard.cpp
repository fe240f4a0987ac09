#include "board/CounterBoard.h"

#include "orders/OrderBook.h"

// The pages are resources of this static library; they must be registered
// from outside any namespace.
static void registerBoardPages() {
    Q_INIT_RESOURCE(pages);
}

namespace quillon {

CounterBoard::CounterBoard(const OrderBook& book, const Clock& clock, QObject* parent)
    : QObject(parent), m_book(book), m_clock(clock),
      m_generation(std::make_shared<std::atomic<uint64_t>>(1)) {
    registerBoardPages();
    m_thread.setObjectName("counter board");
    connect(&book, &OrderBook::orderInserted, this, &CounterBoard::orderInserted);
    connect(&book, &OrderBook::ordersReset, this, &CounterBoard::ordersReset);
}

CounterBoard::~CounterBoard() {
    stop();
}

void CounterBoard::start(const BoardConfig& config) {
    stop();
    m_server = new BoardServer(m_book, m_clock, m_generation);
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

void CounterBoard::stop() {
    if (!m_server)
        return;
    m_thread.quit();
    m_thread.wait();
    m_server = nullptr;
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
}

} // namespace quillon
