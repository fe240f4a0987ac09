#include "protocol/CentralService.h"

#include "protocol/Exchange.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/ProductListFetch.h"

#include "support/LoopbackPeer.h"
#include "support/PythonServer.h"
#include "support/RecordingPrompter.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

// A simulated service: receives the request by the plain exchange, then
// runs `reply` on the same connection.
std::function<void(Socket&)> serve(Message& request, std::function<void(Socket&)> reply) {
    return [&request, reply](Socket& s) {
        ByteData opening;
        if (s.ReceiveBytesN(MessageHeader::kSize, opening) &&
            receivePlain(request, bytesOf(opening), s) >= 0)
            reply(s);
    };
}

std::function<void(Socket&)> answerWith(Message& answer) {
    return [&answer](Socket& s) { sendPlain(answer, s); };
}

ServiceEndpoint endpointOf(const LoopbackPeer& peer) {
    return {"127.0.0.1", peer.port()};
}

const ServiceEndpoint kNobody{"127.0.0.1", closedLocalPort()};

} // namespace

// The fields of the order requests go both ways in the registration and
// intake tests against the simulated service; here, the failures.
TEST(CentralService, OrderRequestFailuresAndWhatTheyShow) {
    std::string opening = MessageHeader{6, 2, 0}.encode().toString();
    OrderCheckRequest got;
    OrderNumberAnswer wrongKind;
    struct Case {
        const char* what;
        std::function<void(Socket&)> reply;
        int expected;
        std::vector<std::string> shown;
    };
    std::vector<Case> cases = {
        {"closes after the request", scripted({}), -2, {}},
        {"answers 8 bytes", scripted({{0, opening.substr(0, 8)}}), -2, {kNoResponseText}},
        {"answers another kind", answerWith(wrongKind), -2, {kBadCommText}},
        {"answer body never comes", scripted({{0, opening}, {4, ""}}), -2, {}},
        {"answer header torn", scripted({{0, opening}, {4, "\x01\x00\x00"}}), -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPeer peer(serve(got, c.reply));
        RecordingPrompter prompter;
        EXPECT_EQ(checkOrder(endpointOf(peer), prompter, "R1", "R2").result, c.expected);
        EXPECT_EQ(prompter.messages(), c.shown);
    }

    // No connection is 0 and shows nothing; a failed send passes its code on.
    RecordingPrompter prompter;
    EXPECT_EQ(checkOrder(kNobody, prompter, "R1", "R2").result, 0);
    EXPECT_EQ(reportOrderNumber(kNobody, prompter, "R1", "R2", "N"), 0);
    EXPECT_EQ(requestPaymentStatus(kNobody, prompter, "R1", "R2", "N").result, 0);
    EXPECT_TRUE(prompter.messages().empty());
    LoopbackPeer newer(scripted({{12, u32le(1)}})); // version 1 of a message that has only 0
    EXPECT_EQ(checkOrder(endpointOf(newer), prompter, "R1", "R2").result, -6);
}

// A fetch that works is the account tests'; here the replies it refuses.
TEST(CentralService, FetchProductListRefusesAForeignOrTornReply) {
    ProductList products = {{1, 0.5f, "Print 10x15"}, {2, 3.25f, "Mug"}};
    // A service that answers the fetch with a framed body under `protocolId`.
    auto service = [](uint32_t protocolId, ByteData body) {
        return [protocolId, body](Socket& s) {
            ByteData request;
            if (s.ReceiveBytes(request))
                FramedPacket(protocolId, body).sendPacket(s);
        };
    };
    RecordingPrompter prompter;
    LoopbackPeer mismatch(service(2, buildProductListReplyBody(products)));
    EXPECT_FALSE(fetchProductList(endpointOf(mismatch), prompter, "SHOP9"));
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{kTransmissionIdMismatchText});

    ByteData torn = buildProductListReplyBody(products);
    torn.resize(torn.size() - 2);
    LoopbackPeer truncated(service(1, torn));
    EXPECT_FALSE(fetchProductList(endpointOf(truncated), prompter, "SHOP9"));
    EXPECT_FALSE(fetchProductList(kNobody, prompter, "SHOP9"));
    EXPECT_EQ(prompter.messages().size(), 1u);
}
