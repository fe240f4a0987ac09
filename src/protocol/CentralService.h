#pragma once

#include "netlib/AbortSwitch.h"
#include "netlib/Socket.h"
#include "protocol/ProductItem.h"
#include "protocol/Prompter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quillon {

// Where the central service listens; each request opens its own connection.
struct ServiceEndpoint {
    std::string host;
    int port = 8890;
    // When set, throwing it ends the request's connection from another
    // thread (its outcome is then not wanted); otherwise the request runs
    // to its own limits.
    std::shared_ptr<AbortSwitch> hangUp = {};
};

inline constexpr int kServiceConnectWaitMs = 20000;
inline constexpr int kServiceIdleLimitMs = 10000;

inline constexpr char kNoResponseText[] =
    "No response received. Please check your internet connection and try again.";
inline constexpr char kBadCommText[] = "Bad comm string.";
inline constexpr char kTransmissionIdMismatchText[] = "Transmission ID mismatch.";
// Said by the shop when a request the user asked for got no answer and
// nothing else was shown about it.
inline constexpr char kServiceUnreachableText[] = "The central service could not be reached.";

// Connects within `connectWaitMs`, then sets both idle limits; the socket
// follows the endpoint's hang-up switch.
bool connectToService(Socket& socket, const ServiceEndpoint& endpoint,
                      int connectWaitMs = kServiceConnectWaitMs);

// The order requests share their steps and results: 0 when no connection
// could be made (nothing shown); the negative code of a failed send; -2
// when the answer's opening does not arrive, is shorter than 12 bytes
// (kNoResponseText shown) or names another kind (kBadCommText shown); the
// negative code of a body that does not arrive or decode; otherwise the
// answer's own result with its other fields.

struct OrderCheckResult {
    int result = 0;
    std::string shipping1;
    std::string shipping2;
    std::string shipping3;
};
OrderCheckResult checkOrder(const ServiceEndpoint& endpoint, Prompter& prompter,
                            const std::string& reference1, const std::string& reference2);

int reportOrderNumber(const ServiceEndpoint& endpoint, Prompter& prompter,
                      const std::string& reference1, const std::string& reference2,
                      const std::string& orderNumber);

struct PaymentStatusResult {
    int result = 0;
    int32_t paymentCode = 0;
    std::string paymentText1;
    std::string paymentText2;
};
PaymentStatusResult requestPaymentStatus(const ServiceEndpoint& endpoint, Prompter& prompter,
                                         const std::string& reference1,
                                         const std::string& reference2,
                                         const std::string& orderNumber);

// The raw product list fetch. None when no connection could be made, the
// reply did not arrive or does not decode, or its protocol ID is not 1
// (kTransmissionIdMismatchText shown). A reply of 0 entries is an empty list.
std::optional<ProductList> fetchProductList(const ServiceEndpoint& endpoint, Prompter& prompter,
                                            const std::string& shopId);

} // namespace quillon
