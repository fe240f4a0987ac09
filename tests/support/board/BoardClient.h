#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>

namespace testsupport {

struct HttpReply {
    int status = 0; // 0: no answer (the connection was closed or refused)
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray header(const QByteArray& name) const;
    QJsonObject json() const;
};

// A browser-like client of the counter board: Qt's HTTP client with a
// cookie jar of its own, sending the CSRF token of its login.
class BoardClient {
public:
    // With `tls`, over HTTPS, taking whatever certificate the board shows.
    explicit BoardClient(int port, bool tls = false);

    using Headers = QList<QPair<QByteArray, QByteArray>>;
    HttpReply get(const QString& path, const Headers& headers = {});
    HttpReply post(const QString& path, const QByteArray& body, const Headers& headers = {});
    // Logs in and keeps the CSRF token for the posts after it.
    HttpReply login(const QString& password);

private:
    HttpReply send(const QByteArray& method, const QString& path, const QByteArray& body,
                   const Headers& headers);

    QString m_base;
    QNetworkAccessManager m_net;
    QByteArray m_csrf;
};

} // namespace testsupport
