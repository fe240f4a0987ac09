#include "board/BoardTcpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace quillon {

// The idle timer and the bytes of the request so far, kept as a child of
// the socket: it counts the connection as long as the socket exists,
// whatever connections the HTTP server makes or drops on the socket.
class BoardTcpServer::ConnectionWatch : public QObject {
public:
    ConnectionWatch(BoardTcpServer* server, QTcpSocket* socket)
        : QObject(socket), m_server(server), m_socket(socket), m_peer(socket->peerAddress()) {
        const BoardLimits& limits = server->m_limits;
        m_idle.setSingleShot(true);
        m_idle.setInterval(limits.idleLimitMs);
        connect(&m_idle, &QTimer::timeout, this, &ConnectionWatch::close);
        // Connected before the HTTP server's own handler, so it sees the
        // bytes before they are read.
        connect(socket, &QTcpSocket::readyRead, this, [this, max = limits.maxRequestBytes] {
            m_idle.start();
            m_requestBytes += m_socket->bytesAvailable();
            // Closed once the server's own handler is done with this read:
            // closing it now would pull the connection from under it.
            if (m_requestBytes > max)
                QMetaObject::invokeMethod(this, &ConnectionWatch::close, Qt::QueuedConnection);
        });
        connect(socket, &QTcpSocket::bytesWritten, &m_idle, qOverload<>(&QTimer::start));
        m_idle.start();
        server->m_watches.insert(socket, this);
    }
    ~ConnectionWatch() override {
        if (m_server)
            m_server->closed(m_socket, m_peer);
    }
    void requestDone() { m_requestBytes = 0; }

private:
    void close() {
        m_socket->abort();
        m_socket->deleteLater();
    }

    QPointer<BoardTcpServer> m_server;
    QTcpSocket* m_socket;
    QHostAddress m_peer;
    QTimer m_idle;
    qint64 m_requestBytes = 0;
};

BoardTcpServer::BoardTcpServer(BoardLimits limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits) {}

BoardTcpServer::~BoardTcpServer() {
    // The sockets go first, while the counts they leave are still here.
    qDeleteAll(findChildren<QTcpSocket*>(QString(), Qt::FindDirectChildrenOnly));
}

void BoardTcpServer::requestDone(QTcpSocket* socket) {
    if (ConnectionWatch* watch = m_watches.value(socket))
        watch->requestDone();
}

void BoardTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    if (m_open >= m_limits.maxConnections || m_perAddress.value(peer) >= m_limits.maxPerAddress) {
        socket->abort();
        delete socket;
        return;
    }
    ++m_open;
    ++m_perAddress[peer];
    // No single read brings more than the bound.
    socket->setReadBufferSize(m_limits.maxRequestBytes);
    new ConnectionWatch(this, socket);
    addPendingConnection(socket);
}

void BoardTcpServer::closed(QObject* socket, const QHostAddress& peer) {
    m_watches.remove(socket);
    --m_open;
    if (--m_perAddress[peer] <= 0)
        m_perAddress.remove(peer);
}

} // namespace quillon
