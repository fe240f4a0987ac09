// The plain and session exchanges, and the central service's requests
// over them, against scripted peers on 127.0.0.1.
#include "protocol/Exchange.h"
#include "protocol/CentralService.h"
#include "protocol/FramedPacket.h"
#include "protocol/LoginMessages.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/ProductListFetch.h"

#include "support/LoopbackPeer.h"
#include "support/PythonServer.h"
#include "support/RecordingPrompter.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

// Both exchanges carry every request of the account and order tests against
// the simulated service; here what those do not reach.
TEST(Exchange, PlainRoundTripAnswersTheLowerVersion) {
    OrderCheckRequest sent, received;
    std::tie(sent.reference1, sent.reference2) = std::tuple("REF-1", "REF-2");
    ByteData opening;
    int receiveResult = 0;
    LoopbackPeer peer([&](Socket& s) {
        s.ReceiveBytes(opening);
        // Announce version 5 to a message that knows only version 0.
        ByteData announced = MessageHeader{6, 2, 5}.encode();
        receiveResult = receivePlain(received, bytesOf(announced), s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(sendPlain(sent, *client), int(sent.encodedSize(0)));
    peer.finish();
    EXPECT_EQ(std::tuple(opening.view(), receiveResult, received.reference1, received.reference2),
              std::tuple(MessageHeader({6, 2, 0}).encode().view(), int(sent.encodedSize(0)),
                         "REF-1", "REF-2"));
}

TEST(Exchange, ReceiveSessionTakesTheOpeningBlockFirst) {
    // The opening's block is copied before the body is read; a body that
    // never comes (the packet's -2) leaves it in place.
    LoginRequest message;
    ByteData opening = MessageHeader{2, 0, 0}.encodeSession(SessionBlock("S1", "T1", "T2"));
    LoopbackPeer peer(scripted({{4, ""}}));
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(receiveSession(message, bytesOf(opening), *client), -2);
    EXPECT_EQ(message.sessionBlock(), SessionBlock("S1", "T1", "T2"));
    // Openings too short to hold what is read from them.
    EXPECT_EQ(receiveSession(message, bytesOf(opening).first(107), *client), -2);
    EXPECT_EQ(receivePlain(message, bytesOf(opening).first(11), *client), -2);
}

TEST(Exchange, SendSideStopsAtEachFailedStep) {
    OrderCheckRequest message;
    message.reference1 = "A";
    Socket unconnected;
    EXPECT_EQ(sendPlain(message, unconnected), -3);
    EXPECT_EQ(sendSession(message, unconnected), -3);

    struct Case {
        const char* what;
        std::string answer;
        int expected;
    };
    std::vector<Case> cases = {
        {"no answer", "", -4},
        {"answer of 2 bytes", u32le(0).substr(0, 2), -5},
        {"answer 1 with only record 0", u32le(1), -6},
        {"answer -1", u32le(0xFFFFFFFF), -6},
        // Answer 0 proceeds; the packet header is then refused with 9.
        {"answer 0", u32le(0), -8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool bodyFollowed = false;
        LoopbackPeer peer([&](Socket& s) {
            scripted({{12, c.answer}})(s);
            if (c.answer.empty())
                return;
            ByteData header;
            bodyFollowed = s.ReceiveBytesN(8, header);
            s.SendU32(9);
        });
        auto client = peer.connect();
        ASSERT_TRUE(client);
        EXPECT_EQ(sendPlain(message, *client), c.expected);
        client.reset(); // ends the peer's wait for a body that does not come
        peer.finish();
        EXPECT_EQ(bodyFollowed, c.expected == -8) << "no body may follow a refused answer";
    }
}

TEST(Exchange, ReceiveSideFailures) {
    OrderCheckRequest message;
    ByteData opening = MessageHeader{6, 2, 0}.encode();
    Socket unconnected;
    EXPECT_EQ(receivePlain(message, bytesOf(opening), unconnected), -3);

    // A body too short for the message's fields: the decoder's -2, after
    // the version answer 0.
    ByteData body = MessageHeader{6, 2, 0}.encode();
    body.appendU32(10); // a String of 10 bytes that never come
    ByteData answer;
    LoopbackPeer peer([&](Socket& s) {
        s.ReceiveBytesN(4, answer);
        FramedPacket(kPlainProtocolId, body).sendPacket(s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(receivePlain(message, bytesOf(opening), *client), -2);
    peer.finish();
    EXPECT_EQ(answer.u32At(0), 0u);
}

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
    EXPECT_EQ(std::tuple(checkOrder(kNobody, prompter, "R1", "R2").result,
                         reportOrderNumber(kNobody, prompter, "R1", "R2", "N"),
                         requestPaymentStatus(kNobody, prompter, "R1", "R2", "N").result),
              std::tuple(0, 0, 0));
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
