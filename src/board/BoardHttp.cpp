#include "board/BoardHttp.h"

#include "board/BoardConnections.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>

namespace quillon {

namespace {

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    default:
        return "OTHER";
    }
}

BoardRequest boardRequestOf(const QHttpServerRequest& request) {
    BoardRequest r;
    r.method = methodName(request.method());
    const QUrl url = request.url();
    // Split before decoding, so an encoded slash stays inside its segment.
    for (const QString& part : url.path(QUrl::FullyEncoded).split('/', Qt::SkipEmptyParts))
        r.segments.push_back(QUrl::fromPercentEncoding(part.toLatin1()));
    r.query = request.query();
    for (const auto& [name, value] : request.headers()) {
        const QByteArray key = name.toLower();
        if (key == "host")
            r.host = value;
        else if (key == "origin")
            r.origin = value;
        else if (key == "cookie")
            r.cookie = r.cookie.isEmpty() ? value : r.cookie + "; " + value;
        else if (key == "x-csrf-token")
            r.csrf = value;
    }
    r.body = request.body();
    QHostAddress address = request.remoteAddress();
    bool mapped = false;
    const QHostAddress v4(address.toIPv4Address(&mapped));
    r.address = (mapped ? v4 : address).toString().toStdString();
    return r;
}

} // namespace

// The responder writes to the socket only, so it may answer after the
// request has gone.
BoardReply::BoardReply(QHttpServerResponder responder, QTcpSocket* socket)
    : m_responder(std::make_shared<QHttpServerResponder>(std::move(responder))), m_socket(socket) {}

void BoardReply::send(const BoardResponse& response) {
    if (!connected())
        return;
    QHttpServerResponder& responder = *m_responder;
    responder.writeStatusLine(QHttpServerResponder::StatusCode(response.status));
    if (!response.contentType.isEmpty())
        responder.writeHeader("Content-Type", response.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(response.body.size()));
    for (const auto& [name, value] : response.headers)
        responder.writeHeader(name, value);
    responder.writeBody(response.body);
}

BoardHttp::BoardHttp(QTcpServer& listening, BoardConnections& connections, Handler handler,
                     QObject* parent)
    : QAbstractHttpServer(parent), m_connections(connections), m_handler(std::move(handler)) {
    bind(&listening);
}

bool BoardHttp::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    m_connections.requestDone(socket);
    m_handler(boardRequestOf(request), BoardReply(makeResponder(request, socket), socket));
    return true;
}

void BoardHttp::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {}

} // namespace quillon
