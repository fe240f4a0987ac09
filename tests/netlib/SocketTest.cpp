#include "netlib/Socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace quillon;
using namespace std::chrono;

namespace {

// A listening socket on 127.0.0.1 with an ephemeral port, and a connected
// pair made through it.
struct Pair {
    Socket listener;
    Socket client;
    std::unique_ptr<Socket> server;

    Pair() {
        EXPECT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
        EXPECT_TRUE(client.Connect("127.0.0.1", listener.LocalPort(), false, 2000));
        server = listener.AcceptNextConnection(2000);
        EXPECT_TRUE(server);
    }
};

} // namespace

TEST(ByteData, ReadsU32OnlyWhenAllFourBytesAreThere) {
    ByteData d;
    d.appendU32(0x01020304);
    d.append("x");
    uint32_t v = 0;
    EXPECT_TRUE(d.getU32(0, v));
    EXPECT_EQ(v, 0x01020304u);
    EXPECT_EQ(d.data()[0], 4); // little-endian
    EXPECT_FALSE(d.getU32(2, v));
    EXPECT_FALSE(d.getU32(size_t(-1), v));
    EXPECT_EQ(d.u32At(4), 0u);
}

TEST(Socket, SendsAndReceivesExactCounts) {
    Pair p;
    ASSERT_TRUE(p.server);
    std::string payload(200000, 'q');
    auto sent = std::async(std::launch::async,
                           [&] { return p.client.SendBytes(payload.data(), payload.size()); });
    ByteData got;
    ASSERT_TRUE(p.server->ReceiveBytesN(payload.size(), got));
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(got.view(), payload);
}

TEST(Socket, ReceiveTakesAtMostTheMaximumReceiveSize) {
    Pair p;
    p.server->SetMaxReceiveSize(10);
    ASSERT_TRUE(p.client.SendBytes("0123456789abcdef", 16));
    std::this_thread::sleep_for(milliseconds(50));
    ByteData got;
    ASSERT_TRUE(p.server->ReceiveBytes(got));
    EXPECT_EQ(got.view(), "0123456789");
    ASSERT_TRUE(p.server->ReceiveBytes(got));
    EXPECT_EQ(got.view(), "0123456789abcdef");
}

TEST(Socket, ReadIdleLimitEndsAWait) {
    Pair p;
    p.server->SetReadIdleLimit(150);
    ByteData got;
    auto start = steady_clock::now();
    EXPECT_FALSE(p.server->ReceiveBytes(got));
    auto waited = steady_clock::now() - start;
    EXPECT_GE(waited, milliseconds(140));
    EXPECT_LT(waited, milliseconds(2000));
    EXPECT_TRUE(p.server->TimedOut());
    EXPECT_NE(p.server->LastErrorText().find("timed out"), std::string::npos);
}

TEST(Socket, PeerCloseFailsReceive) {
    Pair p;
    p.client.SendBytes("ab", 2);
    p.client.Close();
    ByteData got;
    EXPECT_FALSE(p.server->ReceiveBytesN(3, got));
    EXPECT_FALSE(p.server->TimedOut());
    EXPECT_EQ(got.view(), "ab");
}

TEST(Socket, AcceptWaitsAtMostItsLimit) {
    Socket listener;
    ASSERT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
    auto start = steady_clock::now();
    EXPECT_FALSE(listener.AcceptNextConnection(100));
    EXPECT_LT(steady_clock::now() - start, milliseconds(1500));
}

TEST(Socket, BindFailsWhenThePortIsTaken) {
    Socket a, b;
    ASSERT_TRUE(a.BindAndListen(0, 5, "127.0.0.1"));
    EXPECT_FALSE(b.BindAndListen(a.LocalPort(), 5, "127.0.0.1"));
    EXPECT_FALSE(b.LastErrorText().empty());
}

TEST(Socket, ConnectToAClosedPortFailsQuickly) {
    Socket listener;
    ASSERT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
    int port = listener.LocalPort();
    listener.Close();
    Socket c;
    EXPECT_FALSE(c.Connect("127.0.0.1", port, false, 2000));
    EXPECT_FALSE(c.Connect("127.0.0.1", port, true, 2000)); // no TLS
    EXPECT_FALSE(c.Connect("host.invalid", 80, false, 2000));
}

TEST(Socket, AbortWakesABlockedReceiveFromAnotherThread) {
    Pair p;
    p.server->SetReadIdleLimit(0);
    auto waiter = std::async(std::launch::async, [&] {
        ByteData got;
        return p.server->ReceiveBytes(got);
    });
    std::this_thread::sleep_for(milliseconds(50));
    p.server->Abort();
    ASSERT_EQ(waiter.wait_for(seconds(5)), std::future_status::ready);
    EXPECT_FALSE(waiter.get());
}

TEST(Socket, AcceptedConnectionInheritsLimits) {
    Socket listener;
    listener.SetMaxReceiveSize(32768);
    listener.SetReadIdleLimit(1234);
    ASSERT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
    Socket c;
    ASSERT_TRUE(c.Connect("127.0.0.1", listener.LocalPort(), false, 2000));
    auto s = listener.AcceptNextConnection(2000);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->MaxReceiveSize(), 32768u);
    EXPECT_EQ(s->ReadIdleLimit(), 1234);
}
