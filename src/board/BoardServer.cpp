#include "board/BoardServer.h"

#include "board/BoardApi.h"
#include "board/BoardHttp.h"
#include "orders/OrderBook.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace quillon {

namespace {

// The book is copied this many orders at a time, so its lock is never held
// for long.
constexpr size_t kCopyChunk = 2000;

QSet<QString> ownHosts(const QString& address) {
    QSet<QString> hosts{"localhost"};
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        hosts.insert(a.toString().section('%', 0, 0).toLower());
    if (!address.isEmpty())
        hosts.insert(address.toLower());
    const QString name = QHostInfo::localHostName().toLower();
    if (!name.isEmpty()) {
        hosts.insert(name);
        hosts.insert(name + ".local");
        const QString domain = QHostInfo::localDomainName().toLower();
        if (!domain.isEmpty())
            hosts.insert(name + "." + domain);
    }
    return hosts;
}

} // namespace

BoardServer::BoardServer(const OrderBook& book, const Clock& clock,
                         std::shared_ptr<const std::atomic<uint64_t>> bookGeneration)
    : m_book(book), m_clock(clock), m_bookGeneration(std::move(bookGeneration)) {}

BoardServer::~BoardServer() = default;

void BoardServer::start(const BoardConfig& config) {
    if (config.passwordHash.empty()) {
        emit started(0, "Counter board not started: it has no password "
                        "(quillon --set-board-password, or the Configuration dialog).");
        return;
    }
    m_api = std::make_unique<BoardApi>(m_orders, m_clock, config.passwordHash);
    m_api->setOwnHosts(ownHosts(config.address));
    auto tcp = std::make_unique<BoardTcpServer>(config.limits);
    const QHostAddress address =
        config.address.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(config.address);
    if (address.isNull() || !tcp->listen(address, quint16(config.port))) {
        const QString why =
            address.isNull() ? QString("%1 is not an address of this computer").arg(config.address)
                             : tcp->errorString();
        emit started(
            0, QString("Counter board not started on port %1: %2.").arg(config.port).arg(why));
        return;
    }
    m_tcp = tcp.release();
    m_http = std::make_unique<BoardHttp>(
        *m_tcp, [this](const BoardRequest& request) { return m_api->handle(request); });
    const int port = m_tcp->serverPort();
    QString host = config.address;
    if (host.isEmpty()) {
        // The address a browser elsewhere on the network would use.
        host = QHostInfo::localHostName();
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
                host = a.toString();
                break;
            }
    }
    const bool loopback = QHostAddress(host).isLoopback() || host == "localhost";
    emit started(port, QString("Counter board at http://%1:%2/%3")
                           .arg(host)
                           .arg(port)
                           .arg(loopback ? "" : " (not encrypted)"));
}

void BoardServer::copyBook(uint64_t generation) {
    if (generation != m_bookGeneration->load())
        return;
    BoardOrders::Orders copied;
    for (size_t from = 0;; from += kCopyChunk) {
        const bool more = m_book.withOrders([&](const OrderBook::Orders& orders) {
            for (size_t i = from; i < std::min(orders.size(), from + kCopyChunk); ++i)
                copied.push_back(BoardOrders::copyOf(*orders[i]));
            return orders.size() > from + kCopyChunk;
        });
        // A reset between two pieces: the copy for it comes next.
        if (generation != m_bookGeneration->load())
            return;
        if (!more)
            break;
    }
    // An order filed while the copy ran may be in it twice: once moved down
    // into a later piece. The board files each order once.
    m_orders.replace(std::move(copied));
    m_copiedGeneration = generation;
}

void BoardServer::addOrder(uint64_t generation, std::shared_ptr<OrderEntry> order) {
    // One filed before the copy's reset is in the copy, if still listed.
    if (generation < m_copiedGeneration)
        return;
    m_orders.add(std::make_unique<OrderEntry>(std::move(*order)));
}

void BoardServer::setPasswordHash(const std::string& hash) {
    if (m_api)
        m_api->setPasswordHash(hash);
}

} // namespace quillon
