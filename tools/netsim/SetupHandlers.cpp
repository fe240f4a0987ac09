#include "SetupHandlers.h"

#include "ServiceRequest.h"
#include "ServiceState.h"

#include "protocol/ShopSetupConfirmation.h"
#include "protocol/ShopSetupMessages.h"

namespace quillon {

namespace {

constexpr uint32_t kWrongKind = 99;
// Fewer than the 12 fixed bytes of the confirmation reply.
constexpr size_t kShortConfirmation = 6;

} // namespace

void handleShopSetup(ServiceRequest& request) {
    ShopSetupRequest body;
    if (!request.receive(body, false, "0/0 shop setup"))
        return;
    SetupOutcome outcome = request.state().registerShop(body);
    FaultPlan plan = request.faults("0/0");
    ShopSetupResponse reply;
    reply.result = plan.returncode.value_or(outcome.result);
    reply.message = outcome.message;
    std::string how = request.answer(reply, false, plan);
    std::string what = "0/0 shop setup \"" + body.shopName + "\" <" + body.email1 + ">: ";
    if (outcome.result == 1)
        what +=
            "shop number " + std::to_string(outcome.number) + ", SHOP ID " + outcome.shopId + ", ";
    request.log(what + outcomeText("result", reply.result, plan) + "; " + how);
}

void handleSetupConfirmation(ServiceRequest& request) {
    auto parsed = parseConfirmationRequest(bytesOf(request.opening()));
    if (!parsed.ok) {
        request.log("raw1 setup confirmation: request does not decode; closed");
        return;
    }
    std::string message;
    int32_t result = request.state().confirmShop(parsed.value, message);
    FaultPlan plan = request.faults("raw1");
    result = plan.returncode.value_or(result);
    ByteData reply = buildConfirmationReply(result, message);
    if (plan.wrongKind)
        writeU32LE(reply.data(), kWrongKind);
    std::string how = request.answerRaw(reply, kShortConfirmation, plan);
    request.log("raw1 setup confirmation \"" + parsed.value +
                "\": " + outcomeText("result", result, plan) + "; " + how);
}

} // namespace quillon
