#include "ProductHandlers.h"

#include "ServiceRequest.h"
#include "ServiceState.h"

#include "netlib/Socket.h"
#include "protocol/FramedPacket.h"
#include "protocol/ProductListFetch.h"
#include "protocol/ProductListWire.h"
#include "protocol/ProductUpdateMessages.h"

namespace quillon {

namespace {

// The protocol ID of a fetch answer that is meant to be of another kind.
constexpr uint32_t kWrongProtocolId = 2;
// A packet header torn after its protocol ID.
constexpr size_t kShortPacketHeader = 4;

} // namespace

void handleProductUpdate(ServiceRequest& request) {
    ProductUpdateRequest body;
    if (!request.receive(body, true, "4/2 product list update"))
        return;
    auto decoded = body.entryCount < 0
                       ? Decoded<ProductList>{}
                       : decodeProductEntries(bytesOf(body.products), uint32_t(body.entryCount));
    // Every entry the count names, and nothing after them.
    bool whole = decoded.ok && decoded.used == body.products.size();
    int32_t rc = whole ? request.state().updateProducts(body.sessionBlock(), decoded.value) : -3;
    ProductUpdateResponse reply;
    std::string what = "product list update of " + std::to_string(body.entryCount) + " entries";
    request.answerSession("4/2", what.c_str(), reply, body.sessionBlock(), rc);
}

void handleProductFetch(ServiceRequest& request) {
    auto shopId = parseProductListFetch(bytesOf(request.opening()));
    if (!shopId) {
        request.log("raw5 product list fetch: request does not decode; closed");
        return;
    }
    std::optional<ProductList> list = request.state().products(*shopId);
    FaultPlan plan = request.faults("raw5");
    std::string what = "raw5 product list fetch, " + shopLabel(*shopId) + ": ";
    what += list ? std::to_string(list->size()) + " entries" : "unknown shop, empty list";
    if (plan.any())
        what += " [fault: " + plan.describe() + "]";
    FramedPacket packet(plan.wrongKind ? kWrongProtocolId : kProductListProtocolId,
                        buildProductListReplyBody(list.value_or(ProductList{})));
    std::string how;
    if (!request.wait(plan) || plan.closeEarly) {
        how = "closed without an answer";
    } else if (plan.shortReply) {
        ByteData header;
        header.appendU32(packet.protocolId());
        request.socket().SendBytes(header.data(), kShortPacketHeader);
        how = "sent a torn packet header";
    } else {
        int rc = packet.sendPacket(request.socket());
        how = rc == 1 ? "answered" : "answer failed (" + std::to_string(rc) + ")";
    }
    request.log(what + "; " + how);
}

} // namespace quillon
