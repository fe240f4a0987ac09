#pragma once

#include "protocol/CentralService.h"
#include "protocol/HistoryRequest.h"
#include "protocol/ProductItem.h"
#include "protocol/SessionBlock.h"
#include "protocol/ShopInfoMessages.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class RequestRunner;
class StatusLines;
struct Settings;

// The account commands at the central service, as their outcome names them.
enum class AccountCommand {
    Login,
    Logout,
    ChangePassword,
    FetchShopInformation,
    UpdateShopInformation,
    UpdateProducts
};

// The shop's session at the central service: the login state and its
// tokens, the account commands, the transaction history, and where the
// service and its chat listen. It lives on the user-interface thread; each
// request runs on a worker of the shop's request runner, whose outcome comes
// back here. Exit abandons them all.
class AccountSession : public QObject {
    Q_OBJECT
public:
    // Takes a product list the service accepted.
    using ProductsUpdated = std::function<void(std::shared_ptr<const ProductList>)>;

    // `settings` is the shop's working copy.
    AccountSession(const Settings& settings, RequestRunner& requests, StatusLines& status,
                   ProductsUpdated productsUpdated, QObject* parent = nullptr);

    ServiceEndpoint serviceEndpoint() const;
    // The central service for requests that Exit abandons.
    ServiceEndpoint abandonableEndpoint() const;
    // Where a live chat starts.
    ServiceEndpoint chatEndpoint() const;

    bool isLoggedIn() const { return m_loggedIn; }
    // The shop ID and tokens of the last login.
    const SessionBlock& session() const { return m_session; }

    // The account commands. Each runs its request off this thread, one at a
    // time, and ends with commandFinished(); false, and nothing runs, while
    // another one runs or when the command needs a login that is not there.
    // A session the service reports expired logs the shop out. A command
    // that got no answer, and showed nothing about it, says that the
    // central service could not be reached.
    static constexpr int kNoAnswer = std::numeric_limits<int>::min();
    bool login(const std::string& shopId, const std::string& password);
    bool logout();
    bool changePassword(const std::string& oldPassword, const std::string& newPassword);
    // On success shopInformationFetched() comes before the end.
    bool fetchShopInformation();
    bool updateShopInformation(const ShopInfo& info);
    // Uploads `list`, then makes it the current list, with the status line
    // "Product list modified.", whatever the service answered; a list that
    // got no readable answer was not sent, and nothing changes.
    bool updateProducts(ProductList list);
    bool isBusy() const;
    // The transaction history between two YYMMDD dates for the session, off
    // this thread; historyFetched() brings its rows. An expired session logs
    // the shop out; no connection is said as for the account commands.
    // False, and nothing runs, while a fetch runs.
    bool fetchHistory(int32_t datetime1, int32_t datetime2);

signals:
    void loginChanged(bool loggedIn);
    void busyChanged(bool busy);
    // `result`: for login and logout 1 when the login state changed, else
    // 0; for the others the service's returncode, kNoAnswer when none came
    // back.
    void commandFinished(quillon::AccountCommand command, int result);
    void shopInformationFetched(const quillon::ShopInfo& info);
    // Empty unless the service answered with returncode 1.
    void historyFetched(const std::vector<quillon::HistoryRecord>& rows);

private:
    void setLoggedOut();
    template <class R, class Work, class Apply>
    bool runCommand(AccountCommand command, Work work, Apply apply);
    // The returncode of an account request as the finished signal gives it;
    // an expired session logs the shop out.
    int takeReturnCode(std::optional<int32_t> returncode);

    const Settings& m_settings;
    RequestRunner& m_requests;
    StatusLines& m_status;
    ProductsUpdated m_productsUpdated;
    bool m_loggedIn = false;
    SessionBlock m_session;
};

} // namespace quillon
