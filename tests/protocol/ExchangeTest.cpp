#include "protocol/Exchange.h"

#include "protocol/FramedPacket.h"
#include "protocol/LoginMessages.h"
#include "protocol/OrderCheckMessages.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace quillon;
using testsupport::LoopbackPeer;

namespace {

// Reads an opening of `size` bytes and answers `version`; then waits to
// see whether a packet header follows.
struct AnsweringPeer {
    ByteData opening;
    bool bodyFollowed = false;

    std::function<void(Socket&)> answer(size_t size, ByteData reply) {
        return [this, size, reply](Socket& s) {
            if (!s.ReceiveBytesN(size, opening))
                return;
            s.SendBytes(reply);
            s.SetReadIdleLimit(200);
            ByteData more;
            bodyFollowed = s.ReceiveBytes(more);
        };
    }
};

ByteData u32(uint32_t v) {
    ByteData b;
    b.appendU32(v);
    return b;
}

} // namespace

TEST(Exchange, PlainRoundTripAnswersTheLowerVersion) {
    OrderCheckRequest sent;
    sent.reference1 = "REF-1";
    sent.reference2 = "REF-2";
    OrderCheckRequest received;
    int receiveResult = 0;
    LoopbackPeer peer([&](Socket& s) {
        ByteData opening;
        ASSERT_TRUE(s.ReceiveBytes(opening));
        ASSERT_EQ(opening.size(), 12u);
        EXPECT_EQ(opening.u32At(0), 6u);
        EXPECT_EQ(opening.u32At(4), 2u);
        EXPECT_EQ(opening.u32At(8), 0u);
        // Pretend the peer announced version 5: this side knows only 0.
        ByteData announced = MessageHeader{6, 2, 5}.encode();
        receiveResult = receivePlain(received, bytesOf(announced), s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(sendPlain(sent, *client), int(sent.encodedSize(0)));
    peer.finish();
    EXPECT_EQ(receiveResult, int(sent.encodedSize(0)));
    EXPECT_EQ(received.reference1, "REF-1");
    EXPECT_EQ(received.reference2, "REF-2");
    EXPECT_EQ(received.bodyVersion(), 0);
}

TEST(Exchange, VersionAnswerIsTheMinimumOfBoth) {
    EXPECT_EQ(answerVersion(5, 0), 0u);
    EXPECT_EQ(answerVersion(0, 3), 0u);
    EXPECT_EQ(answerVersion(2, 3), 2u);
    EXPECT_EQ(answerVersion(0xFFFFFFFF, 0), 0u); // not -1
}

TEST(Exchange, SessionRoundTripCarriesTheBlockInOpeningAndBody) {
    LoginRequest sent;
    sent.sessionBlock() = SessionBlock("SHOP-0042", "", "");
    sent.password = "CE86A97AD0FF68D631755721A4D86119";
    LoginRequest received;
    ByteData opening;
    int receiveResult = 0;
    LoopbackPeer peer([&](Socket& s) {
        ASSERT_TRUE(s.ReceiveBytesN(108, opening));
        receiveResult = receiveSession(received, bytesOf(opening), s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(sendSession(sent, *client), 12 + 96 + 96 + 37);
    peer.finish();
    EXPECT_EQ(opening.u32At(0), 2u);
    EXPECT_EQ(opening.view().substr(12, 9), "SHOP-0042");
    EXPECT_EQ(receiveResult, 12 + 96 + 96 + 37);
    EXPECT_EQ(received.sessionBlock().shopid(), "SHOP-0042");
    EXPECT_EQ(received.password, sent.password);
}

TEST(Exchange, ReceiveSessionTakesTheOpeningBlockFirst) {
    // The opening's block is copied before the body is read; a body whose
    // packet never comes still leaves it in place.
    LoginRequest message;
    ByteData opening = MessageHeader{2, 0, 0}.encodeSession(SessionBlock("S1", "T1", "T2"));
    LoopbackPeer peer([](Socket& s) {
        ByteData answer;
        s.ReceiveBytesN(4, answer);
    });
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
    Socket unconnected;
    EXPECT_EQ(sendPlain(message, unconnected), -3);
    EXPECT_EQ(sendSession(message, unconnected), -3);

    struct Case {
        const char* what;
        ByteData reply;
        int expected;
    };
    std::vector<Case> cases = {
        {"no answer", ByteData(), -4},
        {"answer of 2 bytes", ByteData(std::string_view("\0\0", 2)), -5},
        {"answer 1 with only record 0", u32(1), -6},
        {"answer -1", u32(0xFFFFFFFF), -6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnsweringPeer answering;
        LoopbackPeer peer(c.reply.empty() ? std::function<void(Socket&)>([](Socket& s) {
            ByteData opening;
            s.ReceiveBytesN(12, opening);
        })
                                          : answering.answer(12, c.reply));
        auto client = peer.connect();
        ASSERT_TRUE(client);
        EXPECT_EQ(sendPlain(message, *client), c.expected);
        peer.finish();
        EXPECT_FALSE(answering.bodyFollowed) << "no body may follow a refused answer";
    }
}

TEST(Exchange, AnswerZeroProceedsAndPacketCodesPassThrough) {
    OrderCheckRequest message;
    message.reference1 = "A";
    // The peer answers 0, takes the header and refuses it with 9.
    LoopbackPeer peer([](Socket& s) {
        ByteData opening, header;
        s.ReceiveBytesN(12, opening);
        s.SendU32(0);
        s.ReceiveBytesN(8, header);
        s.SendU32(9);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(sendPlain(message, *client), -8);
}

TEST(Exchange, ReceiveSideFailures) {
    OrderCheckRequest message;
    ByteData opening = MessageHeader{6, 2, 0}.encode();
    Socket unconnected;
    EXPECT_EQ(receivePlain(message, bytesOf(opening), unconnected), -3);

    // The peer reads the version answer and leaves: the packet's -2.
    uint32_t answer = 99;
    LoopbackPeer peer([&](Socket& s) {
        ByteData got;
        if (s.ReceiveBytesN(4, got))
            answer = got.u32At(0);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(receivePlain(message, bytesOf(opening), *client), -2);
    peer.finish();
    EXPECT_EQ(answer, 0u);

    // A body too short for the message's fields: the decoder's -2.
    LoopbackPeer shortBody([](Socket& s) {
        ByteData got;
        s.ReceiveBytesN(4, got);
        ByteData body = MessageHeader{6, 2, 0}.encode();
        body.appendU32(10); // a String of 10 bytes that never come
        FramedPacket(kPlainProtocolId, body).sendPacket(s);
    });
    auto second = shortBody.connect();
    ASSERT_TRUE(second);
    EXPECT_EQ(receivePlain(message, bytesOf(opening), *second), -2);
}
