#include "core/AccountSession.h"

#include "core/RequestRunner.h"
#include "core/StatusLines.h"
#include "orders/Settings.h"
#include "protocol/SessionRequests.h"

namespace quillon {

namespace {

// One account command at a time: they share the session.
constexpr char kAccountRequest[] = "account";

// Whether an account request got an answer to go by. Every answer to a
// login shows the service's text, so one without a message got none.
bool answered(const LoginResult& login) {
    return login.loggedIn;
}
bool answered(const LogoutResult& logout) {
    return logout.answered;
}
bool answered(const std::optional<int32_t>& returncode) {
    return returncode.has_value();
}
bool answered(const ShopInfoFetch& fetched) {
    return fetched.returncode.has_value();
}

} // namespace

AccountSession::AccountSession(const Settings& settings, RequestRunner& requests,
                               StatusLines& status, ProductsUpdated productsUpdated,
                               QObject* parent)
    : QObject(parent), m_settings(settings), m_requests(requests), m_status(status),
      m_productsUpdated(std::move(productsUpdated)) {}

ServiceEndpoint AccountSession::serviceEndpoint() const {
    return ServiceEndpoint{m_settings.hostaddress, m_settings.centralServicePort};
}

ServiceEndpoint AccountSession::abandonableEndpoint() const {
    ServiceEndpoint service = serviceEndpoint();
    service.hangUp = m_requests.hangUp();
    return service;
}

ServiceEndpoint AccountSession::chatEndpoint() const {
    return ServiceEndpoint{m_settings.hostaddress, m_settings.chatPort};
}

void AccountSession::setLoggedOut() {
    m_loggedIn = false;
    emit loginChanged(false);
}

bool AccountSession::isBusy() const {
    return m_requests.isRunning(kAccountRequest);
}

template <class R, class Work, class Apply>
bool AccountSession::runCommand(AccountCommand command, Work work, Apply apply) {
    const ServiceEndpoint service = abandonableEndpoint();
    const bool started = m_requests.run<R>(
        kAccountRequest, [service, work](Prompter& p) { return work(service, p); },
        [this, command, apply](RequestOutcome<R> outcome) {
            const int result = apply(outcome.value);
            if (!answered(outcome.value) && outcome.messages.empty())
                outcome.messages.push_back(kServiceUnreachableText);
            m_status.showMessages(outcome.messages);
            emit busyChanged(false);
            emit commandFinished(command, result);
        },
        Abandon::Yes);
    if (started)
        emit busyChanged(true);
    return started;
}

int AccountSession::takeReturnCode(std::optional<int32_t> returncode) {
    if (returncode == kReturnSessionExpired)
        setLoggedOut();
    return returncode.value_or(kNoAnswer);
}

bool AccountSession::login(const std::string& shopId, const std::string& password) {
    if (m_loggedIn)
        return false;
    return runCommand<LoginResult>(
        AccountCommand::Login,
        [shopId, password](const ServiceEndpoint& s, Prompter& p) {
            return quillon::login(s, p, shopId, password);
        },
        [this](const LoginResult& result) {
            if (!result.loggedIn)
                return 0;
            m_session = result.session;
            m_loggedIn = true;
            emit loginChanged(true);
            return 1;
        });
}

bool AccountSession::logout() {
    if (!m_loggedIn)
        return false;
    return runCommand<LogoutResult>(
        AccountCommand::Logout,
        [session = m_session](const ServiceEndpoint& s, Prompter& p) {
            return quillon::logout(s, p, session);
        },
        [this](const LogoutResult& result) {
            if (!result.loggedOut || !m_loggedIn)
                return 0;
            setLoggedOut();
            return 1;
        });
}

bool AccountSession::changePassword(const std::string& oldPassword,
                                    const std::string& newPassword) {
    if (!m_loggedIn)
        return false;
    return runCommand<std::optional<int32_t>>(
        AccountCommand::ChangePassword,
        [session = m_session, oldPassword, newPassword](const ServiceEndpoint& s, Prompter& p) {
            return quillon::changePassword(s, p, session, oldPassword, newPassword);
        },
        [this](std::optional<int32_t> rc) { return takeReturnCode(rc); });
}

bool AccountSession::fetchShopInformation() {
    if (!m_loggedIn)
        return false;
    return runCommand<ShopInfoFetch>(
        AccountCommand::FetchShopInformation,
        [session = m_session](const ServiceEndpoint& s, Prompter& p) {
            return quillon::fetchShopInformation(s, p, session);
        },
        [this](const ShopInfoFetch& fetched) {
            if (fetched.returncode == kReturnDone)
                emit shopInformationFetched(fetched.info);
            return takeReturnCode(fetched.returncode);
        });
}

bool AccountSession::updateShopInformation(const ShopInfo& info) {
    if (!m_loggedIn)
        return false;
    return runCommand<std::optional<int32_t>>(
        AccountCommand::UpdateShopInformation,
        [session = m_session, info](const ServiceEndpoint& s, Prompter& p) {
            return quillon::updateShopInformation(s, p, session, info);
        },
        [this](std::optional<int32_t> rc) { return takeReturnCode(rc); });
}

bool AccountSession::updateProducts(ProductList list) {
    if (!m_loggedIn)
        return false;
    auto edited = std::make_shared<const ProductList>(std::move(list));
    return runCommand<std::optional<int32_t>>(
        AccountCommand::UpdateProducts,
        [session = m_session, edited](const ServiceEndpoint& s, Prompter& p) {
            return updateProductList(s, p, session, *edited);
        },
        [this, edited](std::optional<int32_t> rc) {
            // Without an answer the list may not have reached the service:
            // the edits stay with whoever made them.
            if (rc) {
                m_productsUpdated(edited);
                m_status.add("Product list modified.");
            }
            return takeReturnCode(rc);
        });
}

bool AccountSession::fetchHistory(int32_t datetime1, int32_t datetime2) {
    const ServiceEndpoint service = abandonableEndpoint();
    return m_requests.run<HistoryFetch>(
        "history",
        [service, session = m_session, datetime1, datetime2](Prompter& p) {
            return quillon::fetchHistory(service, p, session, datetime1, datetime2);
        },
        [this](RequestOutcome<HistoryFetch> outcome) {
            takeReturnCode(outcome.value.returncode);
            // -2 with nothing shown: no connection could be made.
            if (outcome.value.returncode == kReturnRefused && outcome.messages.empty())
                outcome.messages.push_back(kServiceUnreachableText);
            m_status.showMessages(outcome.messages);
            emit historyFetched(outcome.value.rows);
        },
        Abandon::Yes);
}

} // namespace quillon
