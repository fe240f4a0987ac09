#pragma once

#include "protocol/CentralService.h"
#include "protocol/Prompter.h"
#include "protocol/ShopSetupMessages.h"

#include <string>

namespace quillon {

// The two steps that register a new shop with the central service: its
// details (0/0), then the SHOP ID it was e-mailed (raw confirmation).

inline constexpr char kPasswordsMismatchText[] =
    "Passwords mismatch. Please re-type your password.";
inline constexpr char kUnableToConnectText[] = "Unable to connect. Check your network connection.";
inline constexpr char kConnectionBrokenText[] = "Connection broken. Check your network connection.";

// `details` holds the password in clear text; it is encrypted on its way
// out. Result 0 closes the dialog (whatever the service said); 1 passwords
// differ (nothing sent), 2 no connection, 3 the details could not be sent.
struct ShopSetupResult {
    int result = 0;
    bool accepted = false; // the service answered result 1
};
ShopSetupResult sendShopSetup(const ServiceEndpoint& endpoint, Prompter& prompter,
                              const ShopSetupDetails& details, const std::string& retypedPassword);

// Result 0 closes the dialog; 2 no connection, 4 not confirmed, 5 not a
// confirmation reply, 6 the connection broke.
struct ConfirmationResult {
    int result = 0;
    int status = 1; // 2 when the service confirmed the SHOP ID
};
ConfirmationResult confirmShopSetup(const ServiceEndpoint& endpoint, Prompter& prompter,
                                    const std::string& shopId, const std::string& email);

} // namespace quillon
