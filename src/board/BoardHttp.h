#pragma once

#include <QAbstractHttpServer>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

#include "board/BoardMessages.h"

namespace quillon {

class BoardConnections;

// The answer to one request, written now or later on the board's thread;
// nothing is written once the connection has closed.
class BoardReply {
public:
    BoardReply(QHttpServerResponder responder, QTcpSocket* socket);
    bool connected() const { return !m_socket.isNull(); }
    void send(const BoardResponse& response);

private:
    std::shared_ptr<QHttpServerResponder> m_responder;
    QPointer<QTcpSocket> m_socket;
};

// Qt's HTTP server, which parses the requests, handing each whole request
// to the board's handler with the reply to answer it by.
class BoardHttp : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(const BoardRequest&, BoardReply)>;
    BoardHttp(QTcpServer& listening, BoardConnections& connections, Handler handler,
              QObject* parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    BoardConnections& m_connections;
    Handler m_handler;
};

} // namespace quillon
