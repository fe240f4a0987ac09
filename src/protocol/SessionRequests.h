#pragma once

#include "protocol/CentralService.h"
#include "protocol/ProductItem.h"
#include "protocol/Prompter.h"
#include "protocol/SessionBlock.h"
#include "protocol/ShopInfoMessages.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// The shop's account requests: login and logout, password change, shop
// information and product list update. Each opens its own connection,
// shows its texts through the prompter and never retries; a failed connect
// ends it silently.

inline constexpr char kSessionTimeoutText[] =
    "Your session has timeout. Please login and try again.";
inline constexpr char kLogoutDoneText[] = "You've logout successfully.";
inline constexpr char kBadDataText[] = "Bad data or there's problem with connection.";
inline constexpr char kProductsUpdatedText[] = "Product information updated successfully.";
inline constexpr char kActionRefusedText[] = "Unable to perform action.";
inline constexpr char kPasswordChangedText[] = "Password changed.";
inline constexpr char kShopInfoUpdatedText[] = "Shop information updated.";

// The service's returncode: 1 done, -1 session expired, -2 refused, -3
// (login only) accepted.
inline constexpr int32_t kReturnDone = 1;
inline constexpr int32_t kReturnSessionExpired = -1;
inline constexpr int32_t kReturnRefused = -2;
inline constexpr int32_t kReturnLoginAccepted = -3;

struct LoginResult {
    bool loggedIn = false;
    // The shop ID as sent (cut to 32 characters) with the answer's tokens.
    SessionBlock session;
};
// Tokens are taken on returncode 1 or -3; the service's own text is shown
// whatever the returncode.
LoginResult login(const ServiceEndpoint& endpoint, Prompter& prompter, const std::string& shopId,
                  const std::string& password);

struct LogoutResult {
    bool answered = false;  // a reply came back
    bool loggedOut = false; // the service ended the session (results 1, -1 and -2)
};
LogoutResult logout(const ServiceEndpoint& endpoint, Prompter& prompter,
                    const SessionBlock& session);

// These give the answer's returncode, or none when no answer decoded.
std::optional<int32_t> changePassword(const ServiceEndpoint& endpoint, Prompter& prompter,
                                      const SessionBlock& session, const std::string& oldPassword,
                                      const std::string& newPassword);
std::optional<int32_t> updateShopInformation(const ServiceEndpoint& endpoint, Prompter& prompter,
                                             const SessionBlock& session, const ShopInfo& info);
std::optional<int32_t> updateProductList(const ServiceEndpoint& endpoint, Prompter& prompter,
                                         const SessionBlock& session, const ProductList& list);

struct ShopInfoFetch {
    std::optional<int32_t> returncode;
    ShopInfo info; // filled when the returncode is 1
};
// Checked and answered as the update, with nothing shown on success.
ShopInfoFetch fetchShopInformation(const ServiceEndpoint& endpoint, Prompter& prompter,
                                   const SessionBlock& session);

} // namespace quillon
