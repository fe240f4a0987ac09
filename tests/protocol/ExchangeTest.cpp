#include "protocol/Exchange.h"

#include "protocol/FramedPacket.h"
#include "protocol/LoginMessages.h"
#include "protocol/OrderCheckMessages.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

// Both exchanges carry every request of the account and order tests against
// the simulated service; here what those do not reach.
TEST(Exchange, PlainRoundTripAnswersTheLowerVersion) {
    OrderCheckRequest sent;
    sent.reference1 = "REF-1";
    sent.reference2 = "REF-2";
    OrderCheckRequest received;
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
    EXPECT_EQ(opening.view(), MessageHeader({6, 2, 0}).encode().view());
    EXPECT_EQ(receiveResult, int(sent.encodedSize(0)));
    EXPECT_EQ(received.reference1 + received.reference2, "REF-1REF-2");
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
