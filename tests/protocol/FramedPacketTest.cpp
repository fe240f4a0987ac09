#include "protocol/FramedPacket.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace quillon;
using testsupport::LoopbackPeer;

namespace {

ByteData patterned(size_t size) {
    ByteData body;
    body.resize(size);
    for (size_t i = 0; i < size; ++i)
        body.data()[i] = uint8_t(i * 7 + i / 251);
    return body;
}

ByteData header(uint32_t protocolId, uint32_t length) {
    ByteData h;
    h.appendU32(protocolId);
    h.appendU32(length);
    return h;
}

// Reads one acknowledgement; 0xDEAD when none came.
uint32_t readAck(Socket& s) {
    ByteData ack;
    return s.ReceiveBytesN(4, ack) ? ack.u32At(0) : 0xDEAD;
}

// True when nothing more arrives within a short wait.
bool staysQuiet(Socket& s) {
    s.SetReadIdleLimit(200);
    ByteData more;
    return !s.ReceiveBytes(more);
}

int sendTo(LoopbackPeer& peer, const ByteData& body, uint32_t protocolId = 77) {
    auto client = peer.connect();
    return client ? FramedPacket(protocolId, body).sendPacket(*client) : 99;
}

} // namespace

TEST(FramedPacket, BodiesOfEverySizeRoundTrip) {
    for (size_t size :
         {size_t(0), size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(1) << 20}) {
        SCOPED_TRACE(size);
        ByteData body = patterned(size);
        FramedPacket received;
        int receiveResult = 0;
        LoopbackPeer peer([&](Socket& s) { receiveResult = received.receivePacket(s); });
        EXPECT_EQ(sendTo(peer, body, kSessionProtocolId), 1);
        peer.finish();
        EXPECT_EQ(receiveResult, 1);
        EXPECT_EQ(received.protocolId(), kSessionProtocolId);
        EXPECT_EQ(received.length(), size);
        EXPECT_TRUE(received.body().view() == body.view());
    }
}

TEST(FramedPacket, SenderWaitsForEachChunkAcknowledgement) {
    ByteData seen;
    std::vector<size_t> chunks;
    bool quietBeforeAck = false;
    LoopbackPeer peer([&](Socket& s) {
        if (!s.ReceiveBytesN(8, seen))
            return;
        s.SendU32(8);
        for (size_t chunk : {size_t(4096), size_t(1)}) {
            size_t before = seen.size();
            if (!s.ReceiveBytesN(chunk, seen))
                return;
            chunks.push_back(seen.size() - before);
            if (chunk == 4096)
                quietBeforeAck = staysQuiet(s);
            s.SetReadIdleLimit(testsupport::kLoopbackIdleMs);
            s.SendU32(uint32_t(chunk));
        }
    });
    ByteData body = patterned(4097);
    EXPECT_EQ(sendTo(peer, body, 33999), 1);
    peer.finish();
    EXPECT_EQ(seen.u32At(0), 33999u);
    EXPECT_EQ(seen.u32At(4), 4097u);
    EXPECT_EQ(chunks, (std::vector<size_t>{4096, 1}));
    EXPECT_TRUE(quietBeforeAck) << "the second chunk came before the first was acknowledged";
}

TEST(FramedPacket, ChunkArrivingInPiecesIsAcknowledgedOnce) {
    std::vector<uint32_t> acks;
    bool quietAfter = false;
    FramedPacket received;
    LoopbackPeer peer([&](Socket& s) { EXPECT_EQ(received.receivePacket(s), 1); });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    ByteData body = patterned(5000);
    ASSERT_TRUE(client->SendBytes(header(5, 5000)));
    acks.push_back(readAck(*client));
    for (auto [from, to] : {std::pair{0, 1000}, {1000, 3000}, {3000, 4096}}) {
        client->SendBytes(body.data() + from, size_t(to - from));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    acks.push_back(readAck(*client));
    client->SendBytes(body.data() + 4096, 904);
    acks.push_back(readAck(*client));
    quietAfter = staysQuiet(*client);
    peer.finish();
    EXPECT_EQ(acks, (std::vector<uint32_t>{8, 4096, 904}));
    EXPECT_TRUE(quietAfter);
    EXPECT_TRUE(received.body().view() == body.view());
}

TEST(FramedPacket, EmptyBodyIsTheHeaderAndItsAcknowledgementOnly) {
    ByteData seen;
    bool quiet = false;
    LoopbackPeer peer([&](Socket& s) {
        s.ReceiveBytesN(8, seen);
        s.SendU32(8);
        quiet = staysQuiet(s);
    });
    EXPECT_EQ(sendTo(peer, ByteData()), 1);
    peer.finish();
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen.u32At(4), 0u);
    EXPECT_TRUE(quiet);
}

// Each failure of the sending side, made by a peer that misbehaves at
// exactly that step.
TEST(FramedPacket, SendReportsTheStepThatFailed) {
    Socket unconnected;
    EXPECT_EQ(FramedPacket(1, patterned(10)).sendPacket(unconnected), -5);

    struct Case {
        const char* what;
        int expected;
        std::function<void(Socket&)> peer;
    };
    auto readHeaderAndAck = [](Socket& s) {
        ByteData h;
        s.ReceiveBytesN(8, h);
        s.SendU32(8);
    };
    std::vector<Case> cases = {
        {"closes before the header acknowledgement", -6,
         [](Socket& s) {
             ByteData h;
             s.ReceiveBytesN(8, h);
         }},
        {"header acknowledgement of 2 bytes", -7,
         [](Socket& s) {
             ByteData h;
             s.ReceiveBytesN(8, h);
             s.SendBytes("\x08\x00", 2);
         }},
        {"header acknowledgement not 8", -8,
         [](Socket& s) {
             ByteData h;
             s.ReceiveBytesN(8, h);
             s.SendU32(12);
         }},
        {"closes before the chunk acknowledgement", -3,
         [&](Socket& s) {
             readHeaderAndAck(s);
             ByteData chunk;
             s.ReceiveBytesN(10, chunk);
         }},
        {"chunk acknowledgement of 3 bytes", -4,
         [&](Socket& s) {
             readHeaderAndAck(s);
             ByteData chunk;
             s.ReceiveBytesN(10, chunk);
             s.SendBytes("\x0a\x00\x00", 3);
         }},
        {"chunk acknowledgement not the chunk size", -1,
         [&](Socket& s) {
             readHeaderAndAck(s);
             ByteData chunk;
             s.ReceiveBytesN(10, chunk);
             s.SendU32(9);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPeer peer(c.peer);
        EXPECT_EQ(sendTo(peer, patterned(10)), c.expected);
    }
}

TEST(FramedPacket, SendFailsOnAChunkToAPeerThatHasGone) {
    // The peer acknowledges the header in advance and leaves; the header
    // still goes out, the chunk after it cannot.
    LoopbackPeer peer([](Socket& s) { s.SendU32(8); });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    peer.finish();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(FramedPacket(1, patterned(10)).sendPacket(*client), -2);
}

// Each failure of the receiving side, made by a sender that misbehaves.
TEST(FramedPacket, ReceiveReportsTheStepThatFailed) {
    struct Case {
        const char* what;
        int expected;
        std::function<void(Socket&)> sender;
    };
    std::vector<Case> cases = {
        {"closes before the header", -2, [](Socket&) {}},
        {"a torn header", -1, [](Socket& s) { s.SendBytes("\x01\x00\x00\x00\x05", 5); }},
        {"closes inside a chunk", -4,
         [](Socket& s) {
             s.SendBytes(header(1, 10));
             readAck(s);
             s.SendBytes("abc", 3);
         }},
        {"runs past the declared length", -4,
         [](Socket& s) {
             s.SendBytes(header(1, 10));
             readAck(s);
             s.SendBytes("0123456789ABCDEFGHIJ", 20);
             readAck(s);
         }},
        {"runs past the declared length at a chunk boundary", -4,
         [](Socket& s) {
             s.SendBytes(header(1, 4096));
             readAck(s);
             ByteData body = patterned(4100);
             s.SendBytes(body);
             readAck(s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FramedPacket received;
        int result = 0;
        LoopbackPeer peer([&](Socket& s) { result = received.receivePacket(s); });
        if (auto client = peer.connect())
            c.sender(*client);
        peer.finish();
        EXPECT_EQ(result, c.expected);
        EXPECT_TRUE(received.body().empty()) << "a failed receive keeps no body";
    }
}

TEST(FramedPacket, TornHeaderIsAcknowledgedWithItsCount) {
    uint32_t ack = 0;
    LoopbackPeer peer([](Socket& s) {
        // The rest of the header never comes: the idle limit ends the wait.
        s.SetReadIdleLimit(300);
        FramedPacket().receivePacket(s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    client->SendBytes("\x01\x00\x00\x00\x05", 5);
    ack = readAck(*client);
    peer.finish();
    EXPECT_EQ(ack, 5u);
}

TEST(FramedPacket, ReceiveFailsWhenItsAcknowledgementsCannotBeSent) {
    // The peer sends and leaves at once; whatever the receiver sends after
    // its first acknowledgement meets a closed connection.
    FramedPacket received;
    LoopbackPeer peer([](Socket& s) {
        ByteData all = header(1, 6);
        all.append("abcdef");
        s.SendBytes(all);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    peer.finish();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(received.receivePacket(*client), -5);

    LoopbackPeer early([](Socket& s) { s.SendBytes(header(1, 6)); });
    auto second = early.connect();
    ASSERT_TRUE(second);
    early.finish();
    second->SendBytes("x", 1); // meets the closed end, which resets the connection
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(received.receivePacket(*second), -3);
}

TEST(FramedPacket, HugeDeclaredLengthIsRefusedWithoutAllocating) {
    // 4 GiB declared: refused at once, before any acknowledgement.
    FramedPacket received;
    int result = 0;
    LoopbackPeer peer([&](Socket& s) { result = received.receivePacket(s); });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    auto start = std::chrono::steady_clock::now();
    client->SendBytes(header(1, 0xFFFFFFFF));
    bool acknowledged = false;
    ByteData ack;
    client->SetReadIdleLimit(2000);
    acknowledged = client->ReceiveBytes(ack);
    peer.finish();
    EXPECT_EQ(result, -4);
    EXPECT_FALSE(acknowledged);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    // A lower limit applies the same way; the limit itself is allowed.
    FramedPacket small;
    small.setMaxBodySize(16);
    int smallResult = 0, exactResult = 0;
    LoopbackPeer over([&](Socket& s) { smallResult = small.receivePacket(s); });
    EXPECT_EQ(sendTo(over, patterned(17)), -6);
    over.finish();
    EXPECT_EQ(smallResult, -4);
    LoopbackPeer exact([&](Socket& s) { exactResult = small.receivePacket(s); });
    EXPECT_EQ(sendTo(exact, patterned(16)), 1);
    exact.finish();
    EXPECT_EQ(exactResult, 1);
}
