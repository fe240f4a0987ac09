#include "ServiceState.h"

#include "DemoCatalogue.h"
#include "EventLog.h"
#include "StateFile.h"

#include "protocol/Credentials.h"
#include "protocol/ShopSetupMessages.h"

#include <QDate>
#include <QRandomGenerator>
#include <algorithm>

namespace quillon {

namespace {

constexpr int kLargestShopNumber = 999999;
// The oldest registered orders are forgotten beyond this, so a long run
// does not grow its state file without end.
constexpr size_t kMaxOrders = 10000;

std::string freshToken() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet - 1))];
    return token;
}

bool sameAddress(const std::string& a, const std::string& b) {
    return QString::fromLatin1(a.c_str()).compare(QString::fromLatin1(b.c_str()),
                                                  Qt::CaseInsensitive) == 0;
}

bool validDate(int32_t yymmdd) {
    int month = yymmdd / 100 % 100, day = yymmdd % 100;
    return yymmdd >= 0 && yymmdd <= 991231 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

} // namespace

ServiceState::ServiceState(EventLog& log, std::chrono::seconds tokenIdle)
    : m_log(log), m_tokenIdle(tokenIdle) {}

std::string ServiceState::mintShopId(int number) {
    return encryptCredential(QString("O1%1").arg(number, 6, 10, QChar('0')).toStdString());
}

bool ServiceState::open(const QString& stateFile, QString& error) {
    std::lock_guard lock(m_mutex);
    if (!loadStateFile(stateFile, m_data, error))
        return false;
    m_stateFile = stateFile;
    return true;
}

ShopRecord& ServiceState::addShopLocked(int number) {
    for (ShopRecord& s : m_data.shops)
        if (s.number == number)
            return s;
    ShopRecord shop;
    shop.number = number;
    shop.shopId = mintShopId(number);
    shop.name = "Photo shop " + std::to_string(number);
    m_data.shops.push_back(std::move(shop));
    return m_data.shops.back();
}

void ServiceState::addShop(int number, const std::string& password, const std::string& email) {
    std::lock_guard lock(m_mutex);
    ShopRecord& shop = addShopLocked(number);
    shop.password = encryptCredential(password);
    shop.email = email;
    shop.confirmed = true;
    if (shop.info.email1.empty())
        shop.info = demoShopInfo(number, email);
    save();
}

void ServiceState::seedDemo() {
    std::lock_guard lock(m_mutex);
    m_seeding = true;
    for (ShopRecord& shop : m_data.shops)
        seedShop(shop);
    save();
}

void ServiceState::seedShop(ShopRecord& shop) const {
    if (shop.products.empty())
        shop.products = demoProducts();
    if (shop.history.empty())
        shop.history = demoHistory(QDate::currentDate(), shop.number);
}

void ServiceState::refuseReference(const std::string& reference) {
    std::lock_guard lock(m_mutex);
    auto& refused = m_data.refusedReferences;
    if (std::find(refused.begin(), refused.end(), reference) == refused.end())
        refused.push_back(reference);
    save();
}

SetupOutcome ServiceState::registerShop(const ShopSetupRequest& r) {
    SetupOutcome out;
    if (r.shopName.empty() || r.password.empty() || r.email1.empty() || r.phone1.empty() ||
        r.primaryContact.empty() || r.url.empty()) {
        out.message = "Please fill in every field marked with *.";
        return out;
    }
    std::lock_guard lock(m_mutex);
    int number = 1;
    for (const ShopRecord& s : m_data.shops)
        number = std::max(number, s.number + 1);
    if (number > kLargestShopNumber) {
        out.message = "No more shops can be registered.";
        return out;
    }
    ShopRecord& shop = addShopLocked(number);
    shop.name = r.shopName;
    shop.password = r.password;
    shop.email = r.email1;
    shop.info.country = r.country;
    shop.info.city = r.city;
    shop.info.streetAddress = r.streetAddress;
    shop.info.zipCode = r.zipCode;
    shop.info.phone1 = r.phone1;
    shop.info.phone2 = r.phone2;
    shop.info.email1 = r.email1;
    shop.info.email2 = r.email2;
    shop.info.primaryContact = r.primaryContact;
    shop.info.url = r.url;
    shop.info.currency = r.currency;
    shop.info.orderRestriction = r.orderRestriction;
    shop.info.salesTax = r.salesTax;
    shop.info.payPal = r.payPal;
    shop.info.paymentType = r.paymentType;
    shop.info.hasLogo = r.logo.empty() ? 0 : 1;
    shop.info.logo = r.logo;
    if (m_seeding)
        seedShop(shop);
    save();
    out.result = 1;
    out.number = number;
    out.shopId = shop.shopId;
    out.message =
        "Thank you for joining the Velorin Photo Network. Your SHOP ID has been sent to " +
        r.email1 + ". Your SHOP ID is " + shop.shopId + ".";
    return out;
}

int32_t ServiceState::confirmShop(const std::string& text, std::string& message) {
    size_t cut = text.find(';');
    std::string shopId = text.substr(0, cut);
    std::string email = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = findShop(shopId);
    if (!shop || !sameAddress(shop->email, email)) {
        message = "The SHOP ID and e-mail address do not match our records.";
        return 0;
    }
    if (!shop->confirmed) {
        shop->confirmed = true;
        save();
    }
    message = "Your shop is set up. Welcome to the Velorin Photo Network.";
    return 1;
}

LoginOutcome ServiceState::login(const std::string& shopId, const std::string& encryptedPassword) {
    LoginOutcome out;
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = findShop(shopId);
    if (!shop || shop->password != encryptedPassword) {
        out.message = "Invalid SHOP ID or password.";
        return out;
    }
    if (!shop->confirmed) {
        out.message = "Please confirm your shop setup before you log in.";
        return out;
    }
    // One session per shop: a new login ends the one before.
    std::erase_if(m_sessions, [&](const Session& s) { return s.shopId == shopId; });
    m_sessions.push_back({shopId, freshToken(), freshToken(), Clock::now()});
    out.returncode = 1;
    out.token1 = m_sessions.back().token1;
    out.token2 = m_sessions.back().token2;
    out.message = "Welcome to the Velorin Photo Network, " + shop->name + ".";
    return out;
}

ShopRecord* ServiceState::findShop(const std::string& shopId) {
    for (ShopRecord& s : m_data.shops)
        if (s.shopId == shopId)
            return &s;
    return nullptr;
}

ShopRecord* ServiceState::sessionShop(const SessionBlock& block) {
    Clock::time_point now = Clock::now();
    if (m_tokenIdle.count() > 0)
        std::erase_if(m_sessions, [&](const Session& s) { return now - s.lastUsed > m_tokenIdle; });
    for (Session& s : m_sessions) {
        if (s.shopId == block.shopid() && s.token1 == block.token1() &&
            s.token2 == block.token2()) {
            s.lastUsed = now;
            return findShop(s.shopId);
        }
    }
    return nullptr;
}

int32_t ServiceState::logout(const SessionBlock& session) {
    std::lock_guard lock(m_mutex);
    if (!sessionShop(session))
        return -1;
    std::erase_if(m_sessions, [&](const Session& s) { return s.shopId == session.shopid(); });
    return 1;
}

int32_t ServiceState::changePassword(const SessionBlock& session, const std::string& encryptedOld,
                                     const std::string& encryptedNew) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = sessionShop(session);
    if (!shop)
        return -1;
    if (shop->password != encryptedOld || encryptedNew.empty())
        return -2;
    shop->password = encryptedNew;
    save();
    return 1;
}

int32_t ServiceState::updateShopInfo(const SessionBlock& session, const ShopInfo& info) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = sessionShop(session);
    if (!shop)
        return -1;
    shop->info = info;
    save();
    return 1;
}

int32_t ServiceState::shopInfo(const SessionBlock& session, ShopInfo& info) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = sessionShop(session);
    if (!shop)
        return -1;
    info = shop->info;
    return 1;
}

int32_t ServiceState::updateProducts(const SessionBlock& session, const ProductList& products) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = sessionShop(session);
    if (!shop)
        return -1;
    shop->products = products;
    save();
    return 1;
}

std::optional<ProductList> ServiceState::products(const std::string& shopId) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = findShop(shopId);
    if (!shop)
        return std::nullopt;
    return shop->products;
}

int32_t ServiceState::history(const SessionBlock& session, int32_t from, int32_t to,
                              std::vector<HistoryRecord>& rows) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = sessionShop(session);
    if (!shop)
        return -1;
    if (!validDate(from) || !validDate(to))
        return -3;
    for (const HistoryRecord& row : shop->history)
        if (row.date >= from && row.date <= to)
            rows.push_back(row);
    return 1;
}

OrderRecord& ServiceState::findOrAddOrder(const std::string& reference1,
                                          const std::string& reference2) {
    for (OrderRecord& o : m_data.orders)
        if (o.reference1 == reference1 && o.reference2 == reference2)
            return o;
    if (m_data.orders.size() >= kMaxOrders)
        m_data.orders.erase(m_data.orders.begin());
    OrderRecord order;
    order.reference1 = reference1;
    order.reference2 = reference2;
    order.shipping1 = kDefaultShipping1;
    order.shipping2 = kDefaultShipping2;
    order.shipping3 = kDefaultShipping3;
    order.paymentText1 = kDefaultPaymentText1;
    order.paymentText2 = kDefaultPaymentText2;
    m_data.orders.push_back(std::move(order));
    return m_data.orders.back();
}

OrderRecord ServiceState::checkOrder(const std::string& reference1, const std::string& reference2) {
    std::lock_guard lock(m_mutex);
    const auto& refused = m_data.refusedReferences;
    for (const std::string& r : {reference1, reference2}) {
        if (std::find(refused.begin(), refused.end(), r) != refused.end()) {
            OrderRecord order;
            order.reference1 = reference1;
            order.reference2 = reference2;
            order.checkResult = -2;
            return order;
        }
    }
    if (reference1.empty() && reference2.empty()) {
        OrderRecord order;
        order.checkResult = -3;
        return order;
    }
    size_t before = m_data.orders.size();
    OrderRecord order = findOrAddOrder(reference1, reference2);
    if (m_data.orders.size() != before)
        save();
    return order;
}

int32_t ServiceState::reportOrderNumber(const std::string& reference1,
                                        const std::string& reference2,
                                        const std::string& orderNumber) {
    std::lock_guard lock(m_mutex);
    findOrAddOrder(reference1, reference2).orderNumber = orderNumber;
    save();
    return 1;
}

OrderRecord ServiceState::paymentStatus(const std::string& reference1,
                                        const std::string& reference2) {
    std::lock_guard lock(m_mutex);
    size_t before = m_data.orders.size();
    OrderRecord order = findOrAddOrder(reference1, reference2);
    if (m_data.orders.size() != before)
        save();
    return order;
}

std::optional<std::string> ServiceState::checkPassword(const std::string& shopId,
                                                       const std::string& password) {
    std::lock_guard lock(m_mutex);
    ShopRecord* shop = findShop(shopId);
    if (!shop || shop->password != encryptCredential(password))
        return std::nullopt;
    return shop->name;
}

std::vector<std::pair<int, std::string>> ServiceState::shopIds() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::pair<int, std::string>> out;
    for (const ShopRecord& s : m_data.shops)
        out.emplace_back(s.number, s.shopId);
    return out;
}

void ServiceState::save() {
    if (m_stateFile.isEmpty())
        return;
    QString error;
    if (!saveStateFile(m_stateFile, m_data, error))
        m_log.write("state",
                    "cannot save " + m_stateFile.toStdString() + ": " + error.toStdString());
}

} // namespace quillon
