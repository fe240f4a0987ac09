#include "StateFile.h"

#include "JsonText.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <charconv>
#include <cstdlib>

namespace quillon {

namespace {

QJsonValue text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string latin1Bytes(const QJsonValue& value) {
    return value.toString().toLatin1().toStdString();
}

// The shortest decimal that reads back as the same float, so 0.29 is kept
// as 0.29 and not as the double nearest to the float.
QJsonValue price(float value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc())
        return double(value);
    return std::strtod(std::string(buffer, end).c_str(), nullptr);
}

float priceOf(const QJsonValue& value) {
    return float(value.toDouble());
}

QJsonArray strings(const std::vector<std::string>& list) {
    QJsonArray out;
    for (const std::string& s : list)
        out.append(text(s));
    return out;
}

QJsonObject infoToJson(const ShopInfo& i) {
    return {{"country", text(i.country)},
            {"city", text(i.city)},
            {"streetAddress", text(i.streetAddress)},
            {"zipCode", text(i.zipCode)},
            {"phone1", text(i.phone1)},
            {"phone2", text(i.phone2)},
            {"email1", text(i.email1)},
            {"email2", text(i.email2)},
            {"primaryContact", text(i.primaryContact)},
            {"url", text(i.url)},
            {"shopStatus", i.shopStatus},
            {"currency", i.currency},
            {"orderRestriction", i.orderRestriction},
            {"salesTax", qint64(i.salesTax)},
            {"payPal", text(i.payPal)},
            {"paymentType", i.paymentType},
            {"hasLogo", i.hasLogo},
            {"logo", QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(i.logo.data()),
                                                    qsizetype(i.logo.size()))
                                             .toBase64())}};
}

ShopInfo infoFromJson(const QJsonObject& o) {
    ShopInfo i;
    i.country = latin1Bytes(o["country"]);
    i.city = latin1Bytes(o["city"]);
    i.streetAddress = latin1Bytes(o["streetAddress"]);
    i.zipCode = latin1Bytes(o["zipCode"]);
    i.phone1 = latin1Bytes(o["phone1"]);
    i.phone2 = latin1Bytes(o["phone2"]);
    i.email1 = latin1Bytes(o["email1"]);
    i.email2 = latin1Bytes(o["email2"]);
    i.primaryContact = latin1Bytes(o["primaryContact"]);
    i.url = latin1Bytes(o["url"]);
    i.shopStatus = o["shopStatus"].toInt();
    i.currency = o["currency"].toInt(15);
    i.orderRestriction = o["orderRestriction"].toInt();
    i.salesTax = uint32_t(o["salesTax"].toInteger());
    i.payPal = latin1Bytes(o["payPal"]);
    i.paymentType = o["paymentType"].toInt();
    i.hasLogo = o["hasLogo"].toInt();
    QByteArray logo = QByteArray::fromBase64(o["logo"].toString().toLatin1());
    i.logo = ByteData(std::string_view(logo.constData(), size_t(logo.size())));
    return i;
}

QJsonObject shopToJson(const ShopRecord& s) {
    QJsonArray products;
    for (const ProductItem& p : s.products)
        products.append(QJsonObject{
            {"code", p.code}, {"price", price(p.price)}, {"description", text(p.description)}});
    QJsonArray history;
    for (const HistoryRecord& r : s.history)
        history.append(QJsonObject{{"orderNumber", text(r.orderNumber)},
                                   {"customer", text(r.customer)},
                                   {"amount", price(r.amount)},
                                   {"tax", price(r.tax)},
                                   {"date", r.date},
                                   {"time", r.time},
                                   {"status", r.status},
                                   {"payment", text(r.payment)}});
    return {{"number", s.number},           {"shopId", text(s.shopId)}, {"name", text(s.name)},
            {"password", text(s.password)}, {"email", text(s.email)},   {"confirmed", s.confirmed},
            {"info", infoToJson(s.info)},   {"products", products},     {"history", history}};
}

ShopRecord shopFromJson(const QJsonObject& o) {
    ShopRecord s;
    s.number = o["number"].toInt();
    s.shopId = latin1Bytes(o["shopId"]);
    s.name = latin1Bytes(o["name"]);
    s.password = latin1Bytes(o["password"]);
    s.email = latin1Bytes(o["email"]);
    s.confirmed = o["confirmed"].toBool();
    s.info = infoFromJson(o["info"].toObject());
    for (const QJsonValue& v : o["products"].toArray()) {
        QJsonObject p = v.toObject();
        s.products.push_back(
            {p["code"].toInt(), priceOf(p["price"]), latin1Bytes(p["description"])});
    }
    for (const QJsonValue& v : o["history"].toArray()) {
        QJsonObject r = v.toObject();
        s.history.push_back({latin1Bytes(r["orderNumber"]), latin1Bytes(r["customer"]),
                             priceOf(r["amount"]), priceOf(r["tax"]), r["date"].toInt(),
                             r["time"].toInt(), r["status"].toInt(), latin1Bytes(r["payment"])});
    }
    return s;
}

QJsonObject orderToJson(const OrderRecord& o) {
    return {{"reference1", text(o.reference1)},
            {"reference2", text(o.reference2)},
            {"checkResult", o.checkResult},
            {"shipping", QJsonArray{text(o.shipping1), text(o.shipping2), text(o.shipping3)}},
            {"orderNumber", text(o.orderNumber)},
            {"paymentCode", o.paymentCode},
            {"paymentText1", text(o.paymentText1)},
            {"paymentText2", text(o.paymentText2)}};
}

OrderRecord orderFromJson(const QJsonObject& o) {
    OrderRecord r;
    r.reference1 = latin1Bytes(o["reference1"]);
    r.reference2 = latin1Bytes(o["reference2"]);
    r.checkResult = o["checkResult"].toInt(1);
    QJsonArray shipping = o["shipping"].toArray();
    r.shipping1 = latin1Bytes(shipping.at(0));
    r.shipping2 = latin1Bytes(shipping.at(1));
    r.shipping3 = latin1Bytes(shipping.at(2));
    r.orderNumber = latin1Bytes(o["orderNumber"]);
    r.paymentCode = o["paymentCode"].toInt(1);
    r.paymentText1 = latin1Bytes(o["paymentText1"]);
    r.paymentText2 = latin1Bytes(o["paymentText2"]);
    return r;
}

} // namespace

QByteArray stateToJson(const NetworkData& data) {
    QJsonArray shops, orders;
    for (const ShopRecord& s : data.shops)
        shops.append(shopToJson(s));
    for (const OrderRecord& o : data.orders)
        orders.append(orderToJson(o));
    QJsonObject root{{"shops", shops},
                     {"orders", orders},
                     {"refusedReferences", strings(data.refusedReferences)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool stateFromJson(const QByteArray& json, NetworkData& data, QString& error) {
    std::optional<QJsonDocument> parsed = parseJsonText(json, error);
    if (!parsed)
        return false;
    const QJsonDocument& doc = *parsed;
    if (!doc.isObject()) {
        error = "the top level is not an object";
        return false;
    }
    QJsonObject root = doc.object();
    NetworkData loaded;
    for (const QJsonValue& v : root["shops"].toArray()) {
        ShopRecord s = shopFromJson(v.toObject());
        if (s.number < 1 || s.number > 999999 || s.shopId.empty()) {
            error = QString("shop %1 has no valid number or SHOP ID").arg(s.number);
            return false;
        }
        loaded.shops.push_back(std::move(s));
    }
    for (const QJsonValue& v : root["orders"].toArray())
        loaded.orders.push_back(orderFromJson(v.toObject()));
    for (const QJsonValue& v : root["refusedReferences"].toArray())
        loaded.refusedReferences.push_back(latin1Bytes(v));
    data = std::move(loaded);
    return true;
}

bool saveStateFile(const QString& path, const NetworkData& data, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stateToJson(data)) < 0 || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool loadStateFile(const QString& path, NetworkData& data, QString& error) {
    QFile file(path);
    if (!file.exists()) {
        data = {};
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    return stateFromJson(file.readAll(), data, error);
}

} // namespace quillon
