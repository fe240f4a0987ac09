#include "protocol/SessionRequests.h"

#include "protocol/ChangePasswordMessages.h"
#include "protocol/Credentials.h"
#include "protocol/Exchange.h"
#include "protocol/LoginMessages.h"
#include "protocol/LogoutRequest.h"
#include "protocol/ProductUpdateMessages.h"

namespace quillon {

namespace {

enum class Answer { Decoded, NotReceived, Refused, NotDecoded };

// The answer to a session request: a whole 108-byte session opening of the
// request's kind (and subkind, where the request checks it), then the body
// by the session exchange.
Answer receiveAnswer(Socket& socket, Prompter& prompter, Message& response, bool checkSubkind) {
    ByteData opening;
    if (!socket.ReceiveBytes(opening))
        return Answer::NotReceived;
    if (opening.size() < MessageHeader::kSessionOpeningSize) {
        prompter.showMessage(kNoResponseText);
        return Answer::Refused;
    }
    auto header = MessageHeader::parse(bytesOf(opening));
    if (int32_t(header->kind) != response.kind() ||
        (checkSubkind && int32_t(header->subkind) != response.subkind())) {
        prompter.showMessage(kBadDataText);
        return Answer::Refused;
    }
    return receiveSession(response, bytesOf(opening), socket) < 0 ? Answer::NotDecoded
                                                                  : Answer::Decoded;
}

struct AccountExchange {
    // The answer is awaited even when sending failed.
    bool readAfterFailedSend = true;
    bool checkSubkind = false;
};

// Sends `request` by the session exchange and receives `response`; its
// returncode when it decoded.
std::optional<int32_t> accountRequest(const ServiceEndpoint& endpoint, Prompter& prompter,
                                      const Message& request, SessionReturnResponse& response,
                                      AccountExchange how) {
    Socket socket;
    if (!connectToService(socket, endpoint))
        return std::nullopt;
    if (sendSession(request, socket) < 0 && !how.readAfterFailedSend)
        return std::nullopt;
    if (receiveAnswer(socket, prompter, response, how.checkSubkind) != Answer::Decoded)
        return std::nullopt;
    return response.returncode;
}

// The texts of the returncodes the account requests share; `doneText`
// empty shows nothing for 1.
void showReturnCode(Prompter& prompter, std::optional<int32_t> returncode, const char* doneText) {
    if (returncode == kReturnDone && *doneText)
        prompter.showMessage(doneText);
    else if (returncode == kReturnSessionExpired)
        prompter.showMessage(kSessionTimeoutText);
    else if (returncode == kReturnRefused)
        prompter.showMessage(kActionRefusedText);
}

} // namespace

LoginResult login(const ServiceEndpoint& endpoint, Prompter& prompter, const std::string& shopId,
                  const std::string& password) {
    LoginResult result;
    LoginRequest request;
    request.sessionBlock().setShopId(shopId);
    request.password = encryptCredential(password);
    result.session = request.sessionBlock();

    Socket socket;
    if (!connectToService(socket, endpoint) || sendSession(request, socket) < 0)
        return result;
    LoginResponse response;
    switch (receiveAnswer(socket, prompter, response, false)) {
    case Answer::NotReceived:
        prompter.showMessage(socket.LastErrorText());
        return result;
    case Answer::Refused:
        return result;
    case Answer::NotDecoded:
        // The service's text did not arrive: the box stays empty.
        prompter.showMessage({});
        return result;
    case Answer::Decoded:
        break;
    }
    if (response.returncode == kReturnDone || response.returncode == kReturnLoginAccepted) {
        result.session.setToken1(response.sessionBlock().token1());
        result.session.setToken2(response.sessionBlock().token2());
        result.loggedIn = true;
    }
    prompter.showMessage(response.message);
    return result;
}

LogoutResult logout(const ServiceEndpoint& endpoint, Prompter& prompter,
                    const SessionBlock& session) {
    Socket socket;
    if (!connectToService(socket, endpoint) || !socket.SendBytes(buildLogoutRequest(session)))
        return {};
    ByteData reply;
    if (!socket.ReceiveBytes(reply))
        return {};
    auto parsed = parseLogoutReply(bytesOf(reply));
    if (reply.size() < 4) {
        prompter.showMessage(kNoResponseText);
        return {true, false};
    }
    if (parsed.value.tag != 3 || !parsed.ok) {
        prompter.showMessage(kBadCommText);
        return {true, false};
    }
    switch (parsed.value.result) {
    case kReturnDone:
    case kReturnSessionExpired:
        prompter.showMessage(kLogoutDoneText);
        return {true, true};
    case kReturnRefused:
        prompter.showMessage(kBadDataText);
        return {true, true};
    default:
        return {true, false};
    }
}

std::optional<int32_t> changePassword(const ServiceEndpoint& endpoint, Prompter& prompter,
                                      const SessionBlock& session, const std::string& oldPassword,
                                      const std::string& newPassword) {
    ChangePasswordRequest request;
    request.sessionBlock() = session;
    request.shopId = session.shopid();
    request.oldPassword = encryptCredential(oldPassword);
    request.newPassword = encryptCredential(newPassword);
    ChangePasswordResponse response;
    auto returncode = accountRequest(endpoint, prompter, request, response, {});
    showReturnCode(prompter, returncode, kPasswordChangedText);
    return returncode;
}

std::optional<int32_t> updateShopInformation(const ServiceEndpoint& endpoint, Prompter& prompter,
                                             const SessionBlock& session, const ShopInfo& info) {
    ShopInfoUpdateRequest request;
    request.sessionBlock() = session;
    request.info = info;
    ShopInfoUpdateResponse response;
    auto returncode =
        accountRequest(endpoint, prompter, request, response, {.readAfterFailedSend = false});
    showReturnCode(prompter, returncode, kShopInfoUpdatedText);
    return returncode;
}

ShopInfoFetch fetchShopInformation(const ServiceEndpoint& endpoint, Prompter& prompter,
                                   const SessionBlock& session) {
    ShopInfoFetchRequest request;
    request.sessionBlock() = session;
    ShopInfoFetchResponse response;
    ShopInfoFetch fetched;
    fetched.returncode =
        accountRequest(endpoint, prompter, request, response, {.readAfterFailedSend = false});
    showReturnCode(prompter, fetched.returncode, "");
    if (fetched.returncode == kReturnDone)
        fetched.info = response.info;
    return fetched;
}

std::optional<int32_t> updateProductList(const ServiceEndpoint& endpoint, Prompter& prompter,
                                         const SessionBlock& session, const ProductList& list) {
    ProductUpdateRequest request;
    request.sessionBlock() = session;
    request.setProducts(list);
    ProductUpdateResponse response;
    auto returncode = accountRequest(endpoint, prompter, request, response, {.checkSubkind = true});
    showReturnCode(prompter, returncode, kProductsUpdatedText);
    return returncode;
}

} // namespace quillon
