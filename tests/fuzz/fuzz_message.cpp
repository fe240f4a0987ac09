// Message bodies of every kind, as a peer may send them: the first byte
// picks the kind, the rest is the body.
#include "protocol/ChangePasswordMessages.h"
#include "protocol/ChatMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"
#include "protocol/ProductUpdateMessages.h"
#include "protocol/ShopInfoMessages.h"
#include "protocol/ShopSetupMessages.h"
#include "protocol/StatusMessages.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

using namespace quillon;

namespace {

// One maker a kind, in the kinds table's order: the corpus picks them by index.
template <class... T> constexpr std::array<std::unique_ptr<Message> (*)(), sizeof...(T)> makers() {
    return {+[]() -> std::unique_ptr<Message> { return std::make_unique<T>(); }...};
}

constexpr auto kKinds =
    makers<ShopSetupRequest, ShopSetupResponse, LoginRequest, LoginResponse, ShopInfoUpdateRequest,
           ShopInfoUpdateResponse, ShopInfoFetchRequest, ShopInfoFetchResponse,
           ProductUpdateRequest, ProductUpdateResponse, ChangePasswordRequest,
           ChangePasswordResponse, NewOrderRequest, NewOrderAnswer, OrderCheckRequest,
           OrderCheckAnswer, OrderNumberReport, OrderNumberAnswer, PaymentStatusRequest,
           PaymentStatusAnswer, ChatOpenRequest, ChatCloseRequest, ChatSendRequest, ChatPollRequest,
           ChatReply, StatusQuery, StatusAnswer>();

std::unique_ptr<Message> makeKind(uint8_t selector) {
    return kKinds[selector % kKinds.size()]();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    auto message = makeKind(data[0]);
    std::span<const uint8_t> body(data + 1, size - 1);
    int used = message->decode(0, body);
    if (used > int(body.size()))
        __builtin_trap();
    if (used >= 0) {
        // What decoded encodes again and decodes to the same.
        ByteData again = message->encode(0);
        auto copy = makeKind(data[0]);
        if (copy->decode(0, again) != int(again.size()) || copy->encode(0).view() != again.view())
            __builtin_trap();
    }
    return 0;
}
