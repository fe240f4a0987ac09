#pragma once

#include <QHash>
#include <QHostAddress>
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

// The listening socket the HTTP server is bound to, which bounds what the
// server itself does not: connections past the cap (in all, or from one
// address) are closed at once, a connection quiet for the idle limit is
// closed, and so is one whose request grows past the bound before it is
// whole, before the server has buffered more than twice that.
class BoardTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit BoardTcpServer(BoardLimits limits, QObject* parent = nullptr);
    ~BoardTcpServer() override;

    // A whole request came on `socket`: the next one counts from zero.
    void requestDone(QTcpSocket* socket);
    int openConnections() const { return m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    class ConnectionWatch;
    void closed(QObject* socket, const QHostAddress& peer);

    QHash<QObject*, ConnectionWatch*> m_watches;
    BoardLimits m_limits;
    int m_open = 0;
    QHash<QHostAddress, int> m_perAddress;
};

} // namespace quillon
