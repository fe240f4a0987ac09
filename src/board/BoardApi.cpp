#include "board/BoardApi.h"

#include "board/BoardJson.h"
#include "board/BoardOrders.h"
#include "orders/FilePaths.h"
#include "orders/QtText.h"
#include "orders/SummaryBuilder.h"
#include "orders/Thumbnail.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookie>
#include <QUrl>

namespace quillon {

namespace {

constexpr const char* kCookieName = "board_session";
constexpr size_t kDefaultLimit = 50;
constexpr size_t kMaxLimit = 200;
// Thumbnails for a board on a tablet's screen: twice the window's.
constexpr int kBoardThumbnailBox = 240;
constexpr qint64 kMaxSummaryBytes = 64 * 1024 * 1024;
// About 1,000 thumbnails.
constexpr qsizetype kThumbnailCacheKiB = 16 * 1024;

BoardResponse jsonResponse(int status, const QJsonObject& object) {
    return {status, "application/json", QJsonDocument(object).toJson(QJsonDocument::Compact), {}};
}

BoardResponse error(int status, const QString& text) {
    return jsonResponse(status, QJsonObject{{"error", text}});
}

BoardResponse withSafetyHeaders(BoardResponse response) {
    for (auto& header : boardSafetyHeaders())
        response.headers.push_back(std::move(header));
    return response;
}

// The statuses' keys, in their order.
QJsonArray statusKeys() {
    QJsonArray keys;
    for (const OrderStatus status : kOrderStatuses)
        keys.append(QString::fromLatin1(statusKey(status)));
    return keys;
}

// The list's status choice: empty for every order, "open" for the orders
// not picked up yet, or one status's key; none for anything else.
std::optional<StatusFilter> statusFilterOf(const QString& choice) {
    if (choice.isEmpty())
        return StatusFilter{};
    if (choice == "open")
        return StatusFilter{StatusChoice::NotPickedUpYet};
    if (const auto status = statusFromKey(choice.toStdString()))
        return StatusFilter{StatusChoice::Only, *status};
    return std::nullopt;
}

QByteArray resource(const QString& name) {
    QFile file(":/board/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string cookieValue(const QByteArray& header, const QByteArray& name) {
    for (const QByteArray& part : header.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith(name + "="))
            return pair.mid(name.size() + 1).toStdString();
    }
    return {};
}

} // namespace

std::vector<std::pair<QByteArray, QByteArray>> boardSafetyHeaders() {
    return {{"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"},
            {"X-Content-Type-Options", "nosniff"},
            {"X-Frame-Options", "DENY"},
            {"Referrer-Policy", "no-referrer"},
            {"Cache-Control", "no-store"}};
}

BoardApi::BoardApi(BoardOrders& orders, const Clock& clock, std::string passwordHash)
    : m_orders(orders), m_sessions(clock, std::move(passwordHash)),
      m_thumbnails(kThumbnailCacheKiB) {}

bool BoardApi::ownHost(const QByteArray& host) const {
    const QUrl url("http://" + QString::fromLatin1(host));
    return !host.isEmpty() && url.isValid() && url.userInfo().isEmpty() && url.path().isEmpty() &&
           m_ownHosts.contains(url.host().toLower());
}

bool BoardApi::foreignOrigin(const BoardRequest& request) const {
    if (request.origin.isEmpty())
        return false;
    const QByteArray own = (m_encrypted ? "https://" : "http://") + request.host;
    return request.origin.toLower() != own.toLower();
}

QByteArray BoardApi::sessionCookie(const std::string& token, bool expire) const {
    QNetworkCookie cookie(kCookieName, QByteArray::fromStdString(token));
    cookie.setPath("/");
    cookie.setHttpOnly(true);
    cookie.setSecure(m_encrypted);
    cookie.setSameSitePolicy(QNetworkCookie::SameSite::Strict);
    if (expire)
        cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(0));
    return cookie.toRawForm();
}

BoardResponse BoardApi::handle(const BoardRequest& request) {
    BoardResponse response;
    if (!ownHost(request.host))
        response = error(421, "This board does not answer for that host name.");
    else if (!request.segments.empty() && request.segments[0] == "api")
        response = handleApi(request);
    else
        response = page(request);
    return withSafetyHeaders(std::move(response));
}

BoardResponse BoardApi::answer(const BoardShopQuery& query, const BoardShopAnswer& shop) const {
    const OrderEntry* order = m_orders.find(query.orderId);
    if (!shop.done)
        return withSafetyHeaders(
            error(503, "The status could not be saved (" + shop.error + "); it is unchanged."));
    if (!order)
        return withSafetyHeaders(error(404, "No such order."));
    QJsonObject json = orderDetailJson(*order, m_orders.statusOf(*order));
    json["history"] = historyJson(shop.history);
    return withSafetyHeaders(jsonResponse(200, json));
}

BoardResponse BoardApi::page(const BoardRequest& request) const {
    static const std::pair<const char*, const char*> kPages[] = {
        {"", "text/html; charset=utf-8"},
        {"board.css", "text/css; charset=utf-8"},
        {"board.js", "text/javascript; charset=utf-8"},
    };
    if (request.method != "GET")
        return error(405, "Only GET reaches the pages.");
    const QString name = request.segments.empty() ? QString() : request.segments[0];
    if (request.segments.size() > 1)
        return error(404, "No such page.");
    for (const auto& [page, type] : kPages)
        if (name == page)
            return {200, type, resource(name.isEmpty() ? "index.html" : name), {}};
    return error(404, "No such page.");
}

BoardResponse BoardApi::handleApi(const BoardRequest& request) {
    const auto& s = request.segments;
    const bool post = request.method == "POST";
    if (post && foreignOrigin(request))
        return error(403, "Requests from other sites are refused.");
    if (s.size() == 2 && s[1] == "login")
        return post ? login(request) : error(405, "Log in with POST.");

    const std::string token = cookieValue(request.cookie, kCookieName);
    const std::string* csrf = token.empty() ? nullptr : m_sessions.csrfOf(token);
    if (!csrf)
        return error(401, "Log in first.");
    if (post && request.csrf.toStdString() != *csrf)
        return error(403, "The request lacks this session's CSRF token.");
    if (s.size() == 2 && s[1] == "logout" && post)
        return logout(request, token);
    if (request.method != "GET" && !post)
        return error(405, "Method not allowed.");
    if (s.size() == 2 && s[1] == "session" && !post)
        return jsonResponse(200, sessionJson(*csrf));
    if (s.size() == 2 && s[1] == "version" && !post)
        return jsonResponse(200, QJsonObject{{"version", qint64(m_orders.version())}});
    if (s.size() == 2 && s[1] == "orders" && !post)
        return orderList(request);
    if (s.size() >= 3 && s[1] == "orders")
        return orderRequest(request);
    return error(404, "No such request.");
}

BoardResponse BoardApi::login(const BoardRequest& request) {
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    const auto outcome =
        m_sessions.login(request.address, body.value("password").toString().toStdString());
    switch (outcome.result) {
    case BoardSessions::Login::TooMany: {
        BoardResponse response = error(429, "Too many failed logins; wait a minute.");
        response.headers.push_back({"Retry-After", "60"});
        return response;
    }
    case BoardSessions::Login::Refused:
        return error(401, "Wrong password.");
    case BoardSessions::Login::Accepted:
        break;
    }
    BoardResponse response = jsonResponse(200, sessionJson(outcome.csrf));
    response.headers.push_back({"Set-Cookie", sessionCookie(outcome.token, false)});
    return response;
}

QJsonObject BoardApi::sessionJson(const std::string& csrf) const {
    QJsonObject json{{"csrf", QString::fromStdString(csrf)}};
    if (m_keepsStatuses)
        json["statuses"] = statusKeys();
    return json;
}

std::optional<OrderStatus> BoardApi::statusOf(const OrderEntry& order) const {
    if (!m_keepsStatuses)
        return std::nullopt;
    return m_orders.statusOf(order);
}

BoardResponse BoardApi::statusChange(const BoardRequest& request, const OrderEntry& order,
                                     const std::string& id) const {
    const QJsonValue wanted = QJsonDocument::fromJson(request.body).object().value("status");
    const std::optional<OrderStatus> status = statusFromKey(wanted.toString().toStdString());
    if (!status)
        return error(400, "Unknown status.");
    BoardResponse waiting;
    waiting.query = BoardShopQuery{id, keyOf(order), status, "board " + request.address};
    return waiting;
}

BoardResponse BoardApi::logout(const BoardRequest&, const std::string& token) {
    m_sessions.logout(token);
    BoardResponse response = jsonResponse(200, QJsonObject{});
    response.headers.push_back({"Set-Cookie", sessionCookie({}, true)});
    return response;
}

BoardResponse BoardApi::orderList(const BoardRequest& request) {
    const QUrlQuery& q = request.query;
    size_t limit = kDefaultLimit;
    if (q.hasQueryItem("limit")) {
        bool ok = false;
        const uint n = q.queryItemValue("limit").toUInt(&ok);
        if (!ok || n == 0)
            return error(400, "limit must be a number from 1.");
        limit = std::min<size_t>(n, kMaxLimit);
    }
    const OrderFilter filter(fromQString(q.queryItemValue("q", QUrl::FullyDecoded)));
    const std::optional<StatusFilter> statuses =
        statusFilterOf(q.queryItemValue("status", QUrl::FullyDecoded));
    if (!statuses || (!m_keepsStatuses && statuses->choice != StatusChoice::All))
        return error(400, "Unknown status.");
    BoardOrders::Keep keep;
    if (statuses->choice != StatusChoice::All)
        keep = [this, &statuses](const OrderEntry& order) {
            return statuses->matches(m_orders.statusOf(order));
        };
    const auto page = m_orders.page(filter, keep, q.queryItemValue("before").toStdString(), limit);
    if (!page)
        return error(404, "No order has the id given in before.");
    QJsonArray orders;
    for (const OrderEntry* order : page->orders)
        orders.append(orderSummaryJson(*order, statusOf(*order)));
    return jsonResponse(200, QJsonObject{{"total", qint64(page->total)},
                                         {"version", qint64(m_orders.version())},
                                         {"orders", orders}});
}

BoardResponse BoardApi::orderRequest(const BoardRequest& request) {
    const auto& s = request.segments;
    const OrderEntry* order = m_orders.find(s[2].toStdString());
    if (!order)
        return error(404, "No such order.");
    const bool get = request.method == "GET";
    if (s.size() == 3 && get) {
        if (!m_keepsStatuses)
            return jsonResponse(200, orderDetailJson(*order, std::nullopt));
        BoardResponse waiting;
        waiting.query = BoardShopQuery{s[2].toStdString(), keyOf(*order), std::nullopt, {}};
        return waiting;
    }
    if (s.size() == 4 && s[3] == "status" && request.method == "POST" && m_keepsStatuses)
        return statusChange(request, *order, s[2].toStdString());
    if (s.size() == 4 && s[3] == "summary.pdf" && get) {
        QFile file(qtPath(summaryPath(order->folder, order->orderNumber)));
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSummaryBytes)
            return error(404, "The order has no summary.");
        BoardResponse response{200, "application/pdf", file.readAll(), {}};
        response.headers.push_back(
            {"Content-Disposition",
             "inline; filename=\"" + QByteArray::fromStdString(order->orderNumber) + ".pdf\""});
        return response;
    }
    if (s.size() == 6 && s[3] == "pictures" && s[5] == "thumbnail" && get)
        return thumbnail(*order, s[4]);
    return error(404, "No such request.");
}

BoardResponse BoardApi::thumbnail(const OrderEntry& order, const QString& index) {
    bool ok = false;
    const uint i = index.toUInt(&ok);
    if (!ok || i >= order.pictures.size() || index != QString::number(i))
        return error(404, "No such picture.");
    const QString key = QString::fromStdString(BoardOrders::idOf(order)) + '/' + index;
    if (const QByteArray* kept = m_thumbnails.object(key))
        return {200, "image/jpeg", *kept, {}};
    const std::string name(order.pictures[i].fileName);
    if (!isPlainFileName(name))
        return error(404, "No such picture.");
    const QImage image =
        loadReducedPicture(qtPath(joinPath(order.folder, name)), kBoardThumbnailBox).image;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "JPG", 85))
        return error(404, "The picture cannot be read.");
    m_thumbnails.insert(key, new QByteArray(jpeg), jpeg.size() / 1024 + 1);
    return {200, "image/jpeg", jpeg, {}};
}

} // namespace quillon
