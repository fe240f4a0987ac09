#include "protocol/ShopSetupRequests.h"

#include "protocol/Credentials.h"
#include "protocol/Exchange.h"
#include "protocol/ShopSetupConfirmation.h"

namespace quillon {

ShopSetupResult sendShopSetup(const ServiceEndpoint& endpoint, Prompter& prompter,
                              const ShopSetupDetails& details, const std::string& retypedPassword) {
    if (details.password != retypedPassword) {
        prompter.showMessage(kPasswordsMismatchText);
        return {1, false};
    }
    Socket socket;
    if (!connectToService(socket, endpoint)) {
        prompter.showMessage(kUnableToConnectText);
        return {2, false};
    }
    ShopSetupRequest request;
    static_cast<ShopSetupDetails&>(request) = details;
    request.password = encryptCredential(details.password);
    if (sendPlain(request, socket) < 0) {
        prompter.showMessage(kConnectionBrokenText);
        return {3, false};
    }

    ShopSetupResult result;
    ByteData opening;
    if (!socket.ReceiveBytes(opening)) {
        prompter.showMessage(kConnectionBrokenText);
        return result;
    }
    auto header = MessageHeader::parse(bytesOf(opening));
    if (!header)
        return result;
    if (header->kind != 0) {
        prompter.showMessage(kBadCommText);
        return result;
    }
    ShopSetupResponse response;
    if (receivePlain(response, bytesOf(opening), socket) >= 0)
        result.accepted = response.result == 1;
    prompter.showMessage(response.message);
    return result;
}

ConfirmationResult confirmShopSetup(const ServiceEndpoint& endpoint, Prompter& prompter,
                                    const std::string& shopId, const std::string& email) {
    Socket socket;
    if (!connectToService(socket, endpoint)) {
        prompter.showMessage(kUnableToConnectText);
        return {2, 1};
    }
    ByteData reply;
    // A peer that closes without a word has broken the connection too.
    if (!socket.SendBytes(buildConfirmationRequest(confirmationText(shopId, email))) ||
        !socket.ReceiveBytes(reply)) {
        prompter.showMessage(kConnectionBrokenText);
        return {6, 1};
    }
    auto parsed = parseConfirmationReply(bytesOf(reply));
    if (reply.size() < 12 || parsed.value.tag != 1) {
        prompter.showMessage(kBadCommText);
        return {5, 1};
    }
    prompter.showMessage(parsed.value.message);
    if (parsed.value.result != 1)
        return {4, 1};
    return {0, 2};
}

} // namespace quillon
