#include "protocol/FramedPacket.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace quillon;
using namespace testsupport;

namespace {

ByteData patterned(size_t size) {
    ByteData body;
    body.resize(size);
    for (size_t i = 0; i < size; ++i)
        body.data()[i] = uint8_t(i * 7 + i / 251);
    return body;
}

std::string header(uint32_t protocolId, uint32_t length) {
    return u32le(protocolId) + u32le(length);
}

// Reads one acknowledgement; 0xDEAD when none came.
uint32_t readAck(Socket& s) {
    ByteData ack;
    return s.ReceiveBytesN(4, ack) ? ack.u32At(0) : 0xDEAD;
}

// True when nothing more arrives within a short wait.
bool staysQuiet(Socket& s, int ms = 200) {
    s.SetReadIdleLimit(ms);
    ByteData more;
    bool quiet = !s.ReceiveBytes(more);
    s.SetReadIdleLimit(kLoopbackIdleMs);
    return quiet;
}

int sendTo(LoopbackPeer& peer, const ByteData& body, uint32_t protocolId = 77) {
    auto client = peer.connect();
    return client ? FramedPacket(protocolId, body).sendPacket(*client) : 99;
}

// What receivePacket gives when the other end runs `sender`.
int receiveFrom(std::function<void(Socket&)> sender, FramedPacket& packet) {
    int result = 0;
    LoopbackPeer peer([&](Socket& s) { result = packet.receivePacket(s); });
    if (auto client = peer.connect())
        sender(*client);
    peer.finish();
    return result;
}

// A connection whose peer ran `steps` and has closed.
std::unique_ptr<Socket> leftBy(std::vector<PeerStep> steps) {
    LoopbackPeer peer(scripted(std::move(steps)));
    auto client = peer.connect();
    peer.finish();
    return client;
}

} // namespace

TEST(FramedPacket, BodiesOfEverySizeRoundTrip) {
    for (size_t size : {0, 1, 4095, 4096, 4097, 1 << 20}) {
        SCOPED_TRACE(size);
        ByteData body = patterned(size);
        FramedPacket received;
        auto sender = [&](Socket& s) {
            EXPECT_EQ(FramedPacket(kSessionProtocolId, body).sendPacket(s), 1);
        };
        EXPECT_EQ(receiveFrom(sender, received), 1);
        EXPECT_EQ(std::tuple(received.protocolId(), received.length()),
                  std::tuple(kSessionProtocolId, size));
        EXPECT_TRUE(received.body().view() == body.view());
    }
}

TEST(FramedPacket, EachChunkWaitsForItsAcknowledgementWhichComesOnce) {
    ByteData seen;
    std::vector<size_t> chunks;
    bool quietBeforeAck = false;
    LoopbackPeer peer([&](Socket& s) {
        if (!s.ReceiveBytesN(8, seen))
            return;
        s.SendU32(8);
        for (size_t chunk : {4096, 1}) {
            size_t before = seen.size();
            if (!s.ReceiveBytesN(chunk, seen))
                return;
            chunks.push_back(seen.size() - before);
            if (chunk == 4096)
                quietBeforeAck = staysQuiet(s);
            s.SendU32(uint32_t(chunk));
        }
    });
    EXPECT_EQ(sendTo(peer, patterned(4097), 33999), 1);
    peer.finish();
    EXPECT_EQ(seen.view().substr(0, 8), header(33999, 4097));
    EXPECT_EQ(chunks, (std::vector<size_t>{4096, 1}));
    EXPECT_TRUE(quietBeforeAck) << "the second chunk came before the first was acknowledged";

    // A chunk arriving in pieces is acknowledged once, when it is whole.
    std::vector<uint32_t> acks;
    FramedPacket received;
    ByteData body = patterned(5000);
    EXPECT_EQ(receiveFrom(
                  [&](Socket& s) {
                      s.SendBytes(header(5, 5000).data(), 8);
                      acks.push_back(readAck(s));
                      for (auto [from, to] : {std::pair{0, 1000}, {1000, 3000}, {3000, 4096}}) {
                          EXPECT_TRUE(staysQuiet(s, 30)) << "acknowledged at " << from;
                          s.SendBytes(body.data() + from, size_t(to - from));
                      }
                      acks.push_back(readAck(s));
                      s.SendBytes(body.data() + 4096, 904);
                      acks.push_back(readAck(s));
                      EXPECT_TRUE(staysQuiet(s));
                  },
                  received),
              1);
    EXPECT_EQ(acks, (std::vector<uint32_t>{8, 4096, 904}));
    EXPECT_TRUE(received.body().view() == body.view());
}

// A peer that misbehaves at each step of either side.
TEST(FramedPacket, EachFailedStepEndsTheTransferAtOnce) {
    auto send = [](Socket& s) { return FramedPacket(1, patterned(10)).sendPacket(s); };
    auto receive = [](Socket& s) {
        FramedPacket received;
        int result = received.receivePacket(s);
        EXPECT_TRUE(received.body().empty()) << "a failed receive keeps no body";
        return result;
    };
    Socket unconnected;
    EXPECT_LT(send(unconnected), 0);
    const std::string over = header(1, 4096) + std::string(4100, 'x');
    struct Case {
        const char* step;
        std::vector<PeerStep> peer;
        std::function<int(Socket&)> call;
    };
    const std::vector<Case> cases = {
        {"closes before the header acknowledgement", {{8, ""}}, send},
        {"header acknowledgement of 2 bytes", {{8, u32le(8).substr(0, 2)}}, send},
        // The peer goes on as if all were well: a sender that let it pass
        // would succeed.
        {"header acknowledgement not 8", {{8, u32le(12)}, {10, u32le(10)}}, send},
        {"closes before the chunk acknowledgement", {{8, u32le(8)}, {10, ""}}, send},
        {"chunk acknowledgement of 3 bytes", {{8, u32le(8)}, {10, u32le(10).substr(0, 3)}}, send},
        {"chunk acknowledgement not the chunk size", {{8, u32le(8)}, {10, u32le(9)}}, send},
        {"closes before the header", {}, receive},
        {"a torn header", {{0, header(1, 5).substr(0, 5)}}, receive},
        {"closes inside a chunk", {{0, header(1, 10)}, {4, "abc"}}, receive},
        {"runs past the declared length", {{0, header(1, 10)}, {4, std::string(20, 'x')}}, receive},
        {"runs past the length at a chunk boundary",
         {{0, header(1, 4096)}, {4, over.substr(8)}},
         receive},
    };
    for (const Case& c : cases)
        expectFailsAtOnce(c.step, c.peer, c.call);

    // A peer that acknowledged the header in advance and left: the chunk
    // after the header meets the reset connection.
    auto client = leftBy({{0, u32le(8)}});
    ASSERT_TRUE(client);
    EXPECT_LT(send(*client), 0);

    // The rest of a torn header never comes: the idle limit ends the wait,
    // and the count that came is acknowledged.
    LoopbackPeer peer([](Socket& s) {
        s.SetReadIdleLimit(300);
        FramedPacket().receivePacket(s);
    });
    client = peer.connect();
    ASSERT_TRUE(client);
    client->SendBytes(header(1, 5).data(), 5);
    EXPECT_EQ(readAck(*client), 5u);

    // Acknowledgements that cannot be sent: the first (the peer sent all and
    // left), or one after a connection that was reset meanwhile.
    auto gone = leftBy({{0, header(1, 6) + "abcdef"}});
    ASSERT_TRUE(gone);
    EXPECT_LT(receive(*gone), 0);
    auto reset = leftBy({{0, header(1, 6)}});
    ASSERT_TRUE(reset);
    reset->SendBytes("x", 1); // meets the closed end, which resets the connection
    EXPECT_LT(receive(*reset), 0);
}

TEST(FramedPacket, HugeDeclaredLengthIsRefusedWithoutAllocating) {
    FramedPacket received;
    bool acknowledged = true;
    auto start = std::chrono::steady_clock::now();
    EXPECT_LT(receiveFrom(
                  [&](Socket& s) {
                      s.SendBytes(header(1, 0xFFFFFFFF).data(), 8);
                      ByteData ack;
                      acknowledged = s.ReceiveBytes(ack);
                  },
                  received),
              0);
    EXPECT_FALSE(acknowledged);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    // A lower limit applies the same way; the limit itself is allowed.
    FramedPacket small;
    small.setMaxBodySize(16);
    for (size_t size : {17, 16}) {
        int result = 0;
        LoopbackPeer peer([&](Socket& s) { result = small.receivePacket(s); });
        EXPECT_EQ(sendTo(peer, patterned(size)) == 1, size == 16);
        peer.finish();
        EXPECT_EQ(result == 1, size == 16);
    }
}
