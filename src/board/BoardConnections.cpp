#include "board/BoardConnections.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace quillon {

// The idle timer and the bytes of the request so far, kept as a child of
// the socket: it counts the connection as long as the socket exists,
// whatever connections the HTTP server makes or drops on the socket.
class BoardConnections::Watch : public QObject {
public:
    Watch(BoardConnections* connections, QTcpSocket* socket)
        : QObject(socket), m_connections(connections), m_socket(socket),
          m_peer(socket->peerAddress()) {
        const BoardLimits& limits = connections->m_limits;
        m_idle.setSingleShot(true);
        m_idle.setInterval(limits.idleLimitMs);
        connect(&m_idle, &QTimer::timeout, this, &Watch::close);
        // Connected before the HTTP server's own handler, so it sees the
        // bytes before they are read.
        connect(socket, &QTcpSocket::readyRead, this, [this, max = limits.maxRequestBytes] {
            m_idle.start();
            m_requestBytes += m_socket->bytesAvailable();
            // Closed once the server's own handler is done with this read:
            // closing it now would pull the connection from under it.
            if (m_requestBytes > max)
                QMetaObject::invokeMethod(this, &Watch::close, Qt::QueuedConnection);
        });
        connect(socket, &QTcpSocket::bytesWritten, &m_idle, qOverload<>(&QTimer::start));
        m_idle.start();
    }
    ~Watch() override {
        if (m_connections)
            m_connections->closed(m_socket, m_peer);
    }
    void requestDone() { m_requestBytes = 0; }

private:
    void close() {
        m_socket->abort();
        m_socket->deleteLater();
    }

    QPointer<BoardConnections> m_connections;
    QTcpSocket* m_socket;
    QHostAddress m_peer;
    QTimer m_idle;
    qint64 m_requestBytes = 0;
};

BoardConnections::BoardConnections(BoardLimits limits, QObject* parent)
    : QObject(parent), m_limits(limits) {}

bool BoardConnections::admit(QTcpSocket* socket) {
    const QHostAddress peer = socket->peerAddress();
    if (m_open >= m_limits.maxConnections || m_perAddress.value(peer) >= m_limits.maxPerAddress)
        return false;
    ++m_open;
    ++m_perAddress[peer];
    // No single read brings more than the bound.
    socket->setReadBufferSize(m_limits.maxRequestBytes);
    m_watches.insert(socket, new Watch(this, socket));
    return true;
}

void BoardConnections::requestDone(QTcpSocket* socket) {
    if (Watch* watch = m_watches.value(socket))
        watch->requestDone();
}

void BoardConnections::closed(QObject* socket, const QHostAddress& peer) {
    m_watches.remove(socket);
    --m_open;
    if (--m_perAddress[peer] <= 0)
        m_perAddress.remove(peer);
}

BoardTcpServer::BoardTcpServer(BoardConnections& connections, QObject* parent)
    : QTcpServer(parent), m_connections(connections) {}

BoardTcpServer::~BoardTcpServer() {
    // The sockets go first, while the counts they leave are still there.
    qDeleteAll(findChildren<QTcpSocket*>(QString(), Qt::FindDirectChildrenOnly));
}

void BoardTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || !m_connections.admit(socket)) {
        socket->abort();
        delete socket;
        return;
    }
    addPendingConnection(socket);
}

BoardSslServer::BoardSslServer(BoardConnections& connections, QObject* parent)
    : QSslServer(parent) {
    setHandshakeTimeout(connections.limits().idleLimitMs);
    connect(this, &QSslServer::startedEncryptionHandshake, this,
            [&connections](QSslSocket* socket) {
                if (!connections.admit(socket)) {
                    socket->abort();
                    socket->deleteLater();
                }
            });
}

BoardSslServer::~BoardSslServer() {
    qDeleteAll(findChildren<QSslSocket*>(QString(), Qt::FindDirectChildrenOnly));
}

} // namespace quillon
