#include "board/BoardServer.h"

#include "board/BoardApi.h"
#include "board/BoardHttp.h"
#include "orders/OrderBook.h"

#include <QFile>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>

namespace quillon {

// An answer that waits for the shop.
struct BoardServer::Waiting {
    BoardShopQuery query;
    BoardReply reply;
};

namespace {

// The book is copied this many orders at a time, so its lock is never held
// for long.
constexpr size_t kCopyChunk = 500;

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

// The certificate and key of the profile; none when either cannot be read.
std::optional<QSslConfiguration> tlsOf(const BoardConfig& config) {
    QFile certificateFile(config.certificate), keyFile(config.key);
    if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certificateFile.readAll());
    const QByteArray keyBytes = keyFile.readAll();
    QSslKey key(keyBytes, QSsl::Rsa);
    if (key.isNull())
        key = QSslKey(keyBytes, QSsl::Ec);
    if (chain.isEmpty() || key.isNull())
        return std::nullopt;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(chain);
    tls.setPrivateKey(key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    return tls;
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
    std::unique_ptr<QTcpServer> listening;
    auto connections = std::make_unique<BoardConnections>(config.limits);
    const bool encrypted = !config.certificate.isEmpty() || !config.key.isEmpty();
    if (encrypted) {
        const std::optional<QSslConfiguration> tls = tlsOf(config);
        if (!tls) {
            emit started(0, "Counter board not started: its certificate (boardcert) or key "
                            "(boardkey) cannot be read.");
            return;
        }
        auto ssl = std::make_unique<BoardSslServer>(*connections);
        ssl->setSslConfiguration(*tls);
        listening = std::move(ssl);
    } else {
        listening = std::make_unique<BoardTcpServer>(*connections);
    }
    const QHostAddress address =
        config.address.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(config.address);
    if (address.isNull() || !listening->listen(address, quint16(config.port))) {
        const QString why =
            address.isNull() ? QString("%1 is not an address of this computer").arg(config.address)
                             : listening->errorString();
        emit started(
            0, QString("Counter board not started on port %1: %2.").arg(config.port).arg(why));
        return;
    }
    m_api = std::make_unique<BoardApi>(m_orders, m_clock, config.passwordHash);
    m_api->setOwnHosts(ownHosts(config.address));
    m_api->setEncrypted(encrypted);
    m_api->setKeepsStatuses(bool(m_askShop));
    m_connections = std::move(connections);
    const int port = listening->serverPort();
    m_http = std::make_unique<BoardHttp>(
        *listening.release(), *m_connections,
        [this](const BoardRequest& request, BoardReply reply) { handle(request, reply); });
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
    emit started(port, QString("Counter board at %1://%2:%3/%4")
                           .arg(encrypted ? "https" : "http", host)
                           .arg(port)
                           .arg(loopback || encrypted ? "" : " (not encrypted)"));
}

void BoardServer::handle(const BoardRequest& request, BoardReply reply) {
    BoardResponse response = m_api->handle(request);
    if (!response.query || !m_askShop)
        return reply.send(response);
    // Answers whose connections have closed are not waited for any more.
    std::erase_if(m_waiting,
                  [](const auto& waiting) { return !waiting.second->reply.connected(); });
    const uint64_t ticket = m_nextTicket++;
    m_askShop(ticket, *response.query);
    m_waiting.emplace(ticket,
                      std::make_unique<Waiting>(Waiting{std::move(*response.query), reply}));
}

void BoardServer::shopAnswered(uint64_t ticket, const BoardShopAnswer& answer) {
    const auto found = m_waiting.find(ticket);
    if (found == m_waiting.end())
        return;
    const std::unique_ptr<Waiting> waiting = std::move(found->second);
    m_waiting.erase(found);
    waiting->reply.send(m_api->answer(waiting->query, answer));
}

void BoardServer::takeStatuses(const std::shared_ptr<const StatusTable>& table) {
    std::unordered_map<std::string, OrderStatus> statuses;
    statuses.reserve(table->size());
    for (size_t row = 0; row < table->size(); ++row)
        statuses.emplace(BoardOrders::idOf(table->keyAt(row)), table->statusAt(row));
    m_orders.replaceStatuses(std::move(statuses));
}

void BoardServer::takeChanges(const std::vector<StatusChange>& changes) {
    for (const StatusChange& change : changes)
        m_orders.setStatus(BoardOrders::idOf(change.order), change.status);
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
