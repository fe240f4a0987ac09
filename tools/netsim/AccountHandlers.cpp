#include "AccountHandlers.h"

#include "ServiceRequest.h"
#include "ServiceState.h"

#include "netlib/Socket.h"
#include "protocol/ChangePasswordMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/LogoutRequest.h"
#include "protocol/ShopInfoMessages.h"

namespace quillon {

namespace {

constexpr uint32_t kWrongKind = 99;
constexpr size_t kShortRawReply = 2;
// A logo is a small JPEG; anything far larger is refused as bad data.
constexpr size_t kMaxLogoSize = size_t(8) << 20;

} // namespace

void handleLogin(ServiceRequest& request) {
    LoginRequest body;
    if (!request.receive(body, true, "2/0 login"))
        return;
    std::string shopId = body.sessionBlock().shopid();
    LoginOutcome outcome = request.state().login(shopId, body.password);
    FaultPlan plan = request.faults("2/0");
    LoginResponse reply;
    reply.sessionBlock() = SessionBlock(shopId, outcome.token1, outcome.token2);
    reply.returncode = plan.returncode.value_or(outcome.returncode);
    reply.message = outcome.message;
    std::string how = request.answer(reply, true, plan);
    request.log("2/0 login, " + shopLabel(shopId) + ": " +
                outcomeText("returncode", reply.returncode, plan) + " \"" + reply.message + "\"; " +
                how);
}

void handleLogout(ServiceRequest& request) {
    auto parsed = parseLogoutRequest(bytesOf(request.opening()));
    if (!parsed.ok) {
        request.log("raw3 logout: request does not decode; closed");
        return;
    }
    const SessionBlock& session = parsed.value.session;
    int32_t result = request.state().logout(session);
    FaultPlan plan = request.faults("raw3");
    result = plan.returncode.value_or(result);
    ByteData reply = buildLogoutReply(result);
    if (plan.wrongKind)
        writeU32LE(reply.data(), kWrongKind);
    std::string how = request.answerRaw(reply, kShortRawReply, plan);
    request.log("raw3 logout, " + shopLabel(session.shopid()) + ": " +
                outcomeText("result", result, plan) + "; " + how);
}

void handleChangePassword(ServiceRequest& request) {
    ChangePasswordRequest body;
    if (!request.receive(body, true, "4/3 password change"))
        return;
    const SessionBlock& block = body.sessionBlock();
    int32_t rc = body.shopId == block.shopid()
                     ? request.state().changePassword(block, body.oldPassword, body.newPassword)
                     : -2;
    ChangePasswordResponse reply;
    request.answerSession("4/3", "password change", reply, block, rc);
}

void handleShopInfoUpdate(ServiceRequest& request) {
    ShopInfoUpdateRequest body;
    if (!request.receive(body, true, "4/0 shop information update"))
        return;
    const ShopInfo& info = body.info;
    bool sound = info.logo.size() <= kMaxLogoSize && (info.hasLogo == 1) == !info.logo.empty();
    int32_t rc = sound ? request.state().updateShopInfo(body.sessionBlock(), info) : -3;
    ShopInfoUpdateResponse reply;
    request.answerSession("4/0", "shop information update", reply, body.sessionBlock(), rc);
}

void handleShopInfoFetch(ServiceRequest& request) {
    ShopInfoFetchRequest body;
    if (!request.receive(body, true, "4/1 shop information fetch"))
        return;
    ShopInfoFetchResponse reply;
    int32_t rc = request.state().shopInfo(body.sessionBlock(), reply.info);
    request.answerSession("4/1", "shop information fetch", reply, body.sessionBlock(), rc);
}

} // namespace quillon
