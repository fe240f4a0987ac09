#pragma once

#include "ServiceRecords.h"

#include "protocol/SessionBlock.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class EventLog;
class ShopSetupRequest;

struct LoginOutcome {
    int32_t returncode = -2;
    std::string token1;
    std::string token2;
    std::string message;
};

struct SetupOutcome {
    int32_t result = 0;
    int number = 0;
    std::string shopId;
    std::string message;
};

// The network's side of every account: shops, login sessions, product
// lists, history and registered orders. Safe to use from every connection
// thread; each change is written to the state file at once.
class ServiceState {
public:
    using Clock = std::chrono::steady_clock;

    // A session ends after `tokenIdle` without a request; 0 keeps it.
    ServiceState(EventLog& log, std::chrono::seconds tokenIdle);

    // Loads the file when it exists; later changes are saved there.
    bool open(const QString& stateFile, QString& error);

    // A confirmed shop with this number, password (clear text) and e-mail.
    void addShop(int number, const std::string& password, const std::string& email);
    // Demo products and history for every shop that has none, and for every
    // shop set up from now on.
    void seedDemo();
    void refuseReference(const std::string& reference);

    SetupOutcome registerShop(const ShopSetupRequest& request);
    // `text` is the shop ID, ";" and the e-mail address.
    int32_t confirmShop(const std::string& text, std::string& message);

    LoginOutcome login(const std::string& shopId, const std::string& encryptedPassword);
    int32_t logout(const SessionBlock& session);
    int32_t changePassword(const SessionBlock& session, const std::string& encryptedOld,
                           const std::string& encryptedNew);
    int32_t updateShopInfo(const SessionBlock& session, const ShopInfo& info);
    int32_t shopInfo(const SessionBlock& session, ShopInfo& info);
    int32_t updateProducts(const SessionBlock& session, const ProductList& products);
    // None for an unknown shop.
    std::optional<ProductList> products(const std::string& shopId);
    // The rows dated from `from` to `to` (YYMMDD, both included).
    int32_t history(const SessionBlock& session, int32_t from, int32_t to,
                    std::vector<HistoryRecord>& rows);

    // Orders are found by their references; an unknown pair is registered
    // with the default answers.
    OrderRecord checkOrder(const std::string& reference1, const std::string& reference2);
    int32_t reportOrderNumber(const std::string& reference1, const std::string& reference2,
                              const std::string& orderNumber);
    OrderRecord paymentStatus(const std::string& reference1, const std::string& reference2);

    // The shop's name when `password` (clear text) is the shop's.
    std::optional<std::string> checkPassword(const std::string& shopId,
                                             const std::string& password);
    std::vector<std::pair<int, std::string>> shopIds() const;

    static std::string mintShopId(int number);

private:
    struct Session {
        std::string shopId;
        std::string token1;
        std::string token2;
        Clock::time_point lastUsed;
    };

    ShopRecord* findShop(const std::string& shopId);
    // The shop of a session that is still valid; the request keeps it alive.
    ShopRecord* sessionShop(const SessionBlock& session);
    OrderRecord& findOrAddOrder(const std::string& reference1, const std::string& reference2);
    void seedShop(ShopRecord& shop) const;
    ShopRecord& addShopLocked(int number);
    void save();

    EventLog& m_log;
    std::chrono::seconds m_tokenIdle;
    mutable std::mutex m_mutex;
    NetworkData m_data;
    std::vector<Session> m_sessions;
    QString m_stateFile;
    bool m_seeding = false;
};

} // namespace quillon
