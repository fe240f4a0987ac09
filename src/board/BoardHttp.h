#pragma once

#include <QAbstractHttpServer>
#include <QTcpServer>
#include <functional>

#include "board/BoardMessages.h"

namespace quillon {

class BoardConnections;

// Qt's HTTP server, which parses the requests, handing each whole request
// to the board's handler and writing its answer.
class BoardHttp : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Handler = std::function<BoardResponse(const BoardRequest&)>;
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
