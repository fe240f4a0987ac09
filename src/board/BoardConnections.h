#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>

class QTcpSocket;

namespace quillon {

// What one connection may cost the board.
struct BoardLimits {
    int maxConnections = 256;
    int maxPerAddress = 32;
    int idleLimitMs = 30000;
    // The request line, the headers and the body of one request together.
    qint64 maxRequestBytes = 64 * 1024;
};

// What the HTTP server does not bound itself, watched on each connection
// of the listening socket it is bound to: connections past the cap (in
// all, or from one address) are closed at once, a connection quiet for the
// idle limit is closed, and so is one whose request grows past the bound
// before it is whole, before the server has buffered more than twice that.
class BoardConnections : public QObject {
    Q_OBJECT
public:
    explicit BoardConnections(BoardLimits limits, QObject* parent = nullptr);

    // False when `socket` would pass the cap; watched from then on when true.
    bool admit(QTcpSocket* socket);
    // A whole request came on `socket`: the next one counts from zero.
    void requestDone(QTcpSocket* socket);
    const BoardLimits& limits() const { return m_limits; }

private:
    class Watch;
    void closed(QObject* socket, const QHostAddress& peer);

    BoardLimits m_limits;
    int m_open = 0;
    QHash<QHostAddress, int> m_perAddress;
    QHash<QObject*, Watch*> m_watches;
};

// The listening socket without encryption.
class BoardTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit BoardTcpServer(BoardConnections& connections, QObject* parent = nullptr);
    ~BoardTcpServer() override;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    BoardConnections& m_connections;
};

// The listening socket with TLS: a connection is watched from the start of
// its handshake.
class BoardSslServer : public QSslServer {
    Q_OBJECT
public:
    explicit BoardSslServer(BoardConnections& connections, QObject* parent = nullptr);
    ~BoardSslServer() override;
};

} // namespace quillon
