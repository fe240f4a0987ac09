#include "core/OrderServers.h"

#include "core/ShopConfig.h"
#include "core/StatusLines.h"

#include <QCoreApplication>
#include <utility>

namespace quillon {

namespace {

std::string serverName(size_t index) {
    return "Server " + std::to_string(index + 1);
}

} // namespace

OrderServers::OrderServers(const ShopConfig& config, StatusLines& status,
                           const std::atomic<bool>& closing, Handlers handlers, QObject* parent)
    : QObject(parent), m_config(config), m_status(status), m_closing(closing),
      m_handlers(std::move(handlers)) {}

OrderServers::~OrderServers() {
    close();
}

bool OrderServers::isRunning() const {
    return server1Running() || server2Running();
}

void OrderServers::start() {
    AcceptLoop reception;
    reception.handler = m_handlers.reception;
    reception.admission = m_handlers.admission;
    if (!startServer(0, m_config.server1Port, std::move(reception)))
        return;
    AcceptLoop registration;
    registration.handler = m_handlers.registration;
    registration.converseHere = true;
    if (!startServer(1, m_config.server2Port, std::move(registration)))
        return;
    m_offline = false;
    emit onlineChanged(true);
}

bool OrderServers::startServer(size_t index, int port, AcceptLoop loop) {
    Server& s = m_servers[index];
    if (!s.server.listen(port, m_config.listenAddress))
        return false;
    m_stopRequested = false;
    if (s.server.threadRunning())
        return true;
    loop.context = this;
    loop.stop = &m_stopRequested;
    loop.abandon = &m_closing;
    loop.ended = [this] { takeEndNotice(); };
    loop.acceptWaitMs = m_config.acceptWaitMs;
    s.server.startThread(std::move(loop));
    s.announced = true;
    m_status.add(serverName(index) + " started. Port " + std::to_string(s.server.port()) + ".");
    return true;
}

void OrderServers::stop() {
    m_stopRequested = true;
}

void OrderServers::close() {
    m_stopRequested = true;
    // Hand-overs that have not run yet are dropped, which releases any
    // accept thread waiting on them.
    QCoreApplication::removePostedEvents(this);
    for (Server& s : m_servers)
        s.server.stop();
}

void OrderServers::takeEndNotice() {
    // Join the threads that have ended; one still finishing a conversation
    // sends its own notice when it is done.
    for (Server& s : m_servers)
        if (s.server.threadRunning() && s.server.threadEnded())
            s.server.stop();
    // The first end notice takes both servers off-line.
    bool first = false;
    for (size_t i = 0; i < m_servers.size(); ++i)
        if (std::exchange(m_servers[i].announced, false)) {
            first = true;
            m_status.add(serverName(i) + " off-line.");
        }
    if (first) {
        // A server that listened but never got its thread (its partner
        // failed to bind) is closed too, so its port is free again.
        for (Server& s : m_servers)
            if (!s.server.threadRunning())
                s.server.stop();
        m_offline = true;
        emit onlineChanged(false);
    }
    emit loopEnded();
}

} // namespace quillon
