// The raw requests and their replies: logout, product list fetch and shop
// setup confirmation, read by the shop or by a simulated service.
#include "protocol/LogoutRequest.h"
#include "protocol/ProductListFetch.h"
#include "protocol/ShopSetupConfirmation.h"

#include <cstdint>
#include <span>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    auto logout = parseLogoutReply(bytes);
    auto confirmation = parseConfirmationReply(bytes);
    auto logoutRequest = parseLogoutRequest(bytes);
    auto confirmationRequest = parseConfirmationRequest(bytes);
    auto fetch = parseProductListFetch(bytes);
    if (logout.used > size || confirmation.used > size || logoutRequest.used > size ||
        confirmationRequest.used > size || confirmation.value.message.size() > size ||
        (fetch && fetch->size() > size))
        __builtin_trap();
    return 0;
}
