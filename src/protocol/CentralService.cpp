#include "protocol/CentralService.h"

#include "protocol/Exchange.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"
#include "protocol/ProductListFetch.h"

#include <span>

namespace quillon {

namespace {

// Sends `request` by the plain exchange and receives `answer`: 1 when the
// answer decoded, else the request's failure result.
int plainRequest(const ServiceEndpoint& endpoint, Prompter& prompter, const Message& request,
                 Message& answer) {
    Socket socket;
    if (!connectToService(socket, endpoint))
        return 0;
    int rc = sendPlain(request, socket);
    if (rc < 0)
        return rc;
    ByteData opening;
    if (!socket.ReceiveBytes(opening))
        return -2;
    auto header = MessageHeader::parse(bytesOf(opening));
    if (!header) {
        prompter.showMessage(kNoResponseText);
        return -2;
    }
    if (int32_t(header->kind) != answer.kind() || int32_t(header->subkind) != answer.subkind()) {
        prompter.showMessage(kBadCommText);
        return -2;
    }
    rc = receivePlain(answer, bytesOf(opening), socket);
    return rc < 0 ? rc : 1;
}

} // namespace

bool connectToService(Socket& socket, const ServiceEndpoint& endpoint, int connectWaitMs) {
    if (endpoint.hangUp)
        socket.SetAbortSwitch(endpoint.hangUp);
    if (!socket.Connect(endpoint.host, endpoint.port, false, connectWaitMs))
        return false;
    socket.SetReadIdleLimit(kServiceIdleLimitMs);
    socket.SetSendIdleLimit(kServiceIdleLimitMs);
    return true;
}

OrderCheckResult checkOrder(const ServiceEndpoint& endpoint, Prompter& prompter,
                            const std::string& reference1, const std::string& reference2) {
    OrderCheckRequest request;
    request.reference1 = reference1;
    request.reference2 = reference2;
    OrderCheckAnswer answer;
    int rc = plainRequest(endpoint, prompter, request, answer);
    if (rc != 1)
        return {rc, {}, {}, {}};
    return {answer.result, answer.shipping1, answer.shipping2, answer.shipping3};
}

int reportOrderNumber(const ServiceEndpoint& endpoint, Prompter& prompter,
                      const std::string& reference1, const std::string& reference2,
                      const std::string& orderNumber) {
    OrderNumberReport report;
    report.reference1 = reference1;
    report.reference2 = reference2;
    report.orderNumber = orderNumber;
    OrderNumberAnswer answer;
    int rc = plainRequest(endpoint, prompter, report, answer);
    return rc == 1 ? answer.result : rc;
}

PaymentStatusResult requestPaymentStatus(const ServiceEndpoint& endpoint, Prompter& prompter,
                                         const std::string& reference1,
                                         const std::string& reference2,
                                         const std::string& orderNumber) {
    PaymentStatusRequest request;
    request.reference1 = reference1;
    request.reference2 = reference2;
    request.orderNumber = orderNumber;
    PaymentStatusAnswer answer;
    int rc = plainRequest(endpoint, prompter, request, answer);
    if (rc != 1)
        return {rc, 0, {}, {}};
    return {answer.result, answer.paymentCode, answer.paymentText1, answer.paymentText2};
}

std::optional<ProductList> fetchProductList(const ServiceEndpoint& endpoint, Prompter& prompter,
                                            const std::string& shopId) {
    Socket socket;
    if (!connectToService(socket, endpoint) || !socket.SendBytes(buildProductListFetch(shopId)))
        return std::nullopt;
    FramedPacket packet;
    if (packet.receivePacket(socket) != 1)
        return std::nullopt;
    if (packet.protocolId() != kProductListProtocolId) {
        prompter.showMessage(kTransmissionIdMismatchText);
        return std::nullopt;
    }
    auto decoded = decodeProductListReply(bytesOf(packet.body()));
    if (!decoded.ok)
        return std::nullopt;
    return std::move(decoded.value);
}

} // namespace quillon
