#include "support/board/BoardClient.h"

#include "support/TestSupport.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QNetworkReply>

namespace testsupport {

QByteArray HttpReply::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.toLower() == name.toLower())
            return value;
    return {};
}

QJsonObject HttpReply::json() const {
    return QJsonDocument::fromJson(body).object();
}

BoardClient::BoardClient(int port, bool tls)
    : m_base(QString("%1://127.0.0.1:%2").arg(tls ? "https" : "http").arg(port)) {
    QObject::connect(
        &m_net, &QNetworkAccessManager::sslErrors,
        [](QNetworkReply* reply, const QList<QSslError>&) { reply->ignoreSslErrors(); });
}

HttpReply BoardClient::get(const QString& path, const Headers& headers) {
    return send("GET", path, {}, headers);
}

HttpReply BoardClient::post(const QString& path, const QByteArray& body, const Headers& headers) {
    Headers all{{"X-CSRF-Token", m_csrf}};
    all.append(headers); // a test's own token wins
    return send("POST", path, body, all);
}

HttpReply BoardClient::login(const QString& password) {
    HttpReply reply =
        post("/api/login", QJsonDocument(QJsonObject{{"password", password}}).toJson());
    if (reply.status == 200)
        m_csrf = reply.json().value("csrf").toString().toLatin1();
    return reply;
}

HttpReply BoardClient::send(const QByteArray& method, const QString& path, const QByteArray& body,
                            const Headers& headers) {
    QNetworkRequest request(QUrl(m_base + path));
    if (method == "POST")
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    QBuffer data;
    data.setData(body);
    QNetworkReply* reply = m_net.sendCustomRequest(request, method, &data);
    HttpReply result;
    if (!processUntil([reply] { return reply->isFinished(); }, std::chrono::seconds(20))) {
        reply->abort();
        delete reply;
        return result;
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.headers = reply->rawHeaderPairs();
    delete reply;
    return result;
}

} // namespace testsupport
