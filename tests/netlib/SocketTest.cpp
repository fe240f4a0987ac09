#include "netlib/Socket.h"
#include "netlib/AbortSwitch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

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
        listener.SetMaxReceiveSize(32768);
        listener.SetReadIdleLimit(1234);
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
    EXPECT_EQ(std::tuple(v, d.data()[0], d.u32At(4)),
              std::tuple(0x01020304u, 4, 0u)); // little-endian
    EXPECT_FALSE(d.getU32(2, v) || d.getU32(size_t(-1), v));
}

TEST(Socket, SendsAndReceivesExactCountsWithinTheMaximumReceiveSize) {
    Pair p;
    ASSERT_TRUE(p.server);
    EXPECT_EQ(std::tuple(p.server->MaxReceiveSize(), p.server->ReadIdleLimit()),
              std::tuple(32768u, 1234))
        << "the listener's limits are inherited";
    std::string payload(200000, 'q');
    auto sent = std::async(std::launch::async,
                           [&] { return p.client.SendBytes(payload.data(), payload.size()); });
    ByteData got;
    ASSERT_TRUE(p.server->ReceiveBytesN(payload.size(), got));
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(got.view(), payload);

    p.server->SetMaxReceiveSize(10);
    ASSERT_TRUE(p.client.SendBytes("0123456789abcdef", 16));
    got = ByteData();
    ASSERT_TRUE(p.server->ReceiveBytesN(4, got));
    ASSERT_TRUE(p.server->ReceiveBytes(got));
    EXPECT_EQ(got.view(), "0123456789abcd");
}

TEST(Socket, IdleLimitPeerCloseAndAbortEndAReceive) {
    Pair p;
    ASSERT_TRUE(p.server);
    p.server->SetReadIdleLimit(150);
    ByteData got;
    auto start = steady_clock::now();
    EXPECT_FALSE(p.server->ReceiveBytes(got));
    EXPECT_GE(steady_clock::now() - start, milliseconds(140));
    EXPECT_TRUE(p.server->TimedOut() &&
                p.server->LastErrorText().find("timed out") != std::string::npos);

    // Abort from another thread wakes a receive that would wait for ever.
    p.server->SetReadIdleLimit(0);
    auto waiter = std::async(std::launch::async, [&] {
        ByteData none;
        return p.server->ReceiveBytes(none);
    });
    p.server->Abort();
    ASSERT_EQ(waiter.wait_for(seconds(5)), std::future_status::ready);
    EXPECT_FALSE(waiter.get());

    Pair q;
    ASSERT_TRUE(q.server);
    q.client.SendBytes("ab", 2);
    q.client.Close();
    EXPECT_FALSE(q.server->ReceiveBytesN(3, got));
    EXPECT_EQ(std::tuple(q.server->TimedOut(), got.view()), std::tuple(false, "ab"));
}

TEST(Socket, FailuresComeBackWithinTheirLimits) {
    Socket listener, second;
    ASSERT_TRUE(listener.BindAndListen(0, 5, "127.0.0.1"));
    EXPECT_FALSE(listener.AcceptNextConnection(100));
    EXPECT_FALSE(second.BindAndListen(listener.LocalPort(), 5, "127.0.0.1") ||
                 second.LastErrorText().empty());

    int port = listener.LocalPort();
    listener.Close();
    Socket c;
    EXPECT_FALSE(c.Connect("127.0.0.1", port, false, 2000) ||
                 c.Connect("127.0.0.1", port, true, 2000)); // with TLS or without
    // A name with an empty label: the resolver refuses it without asking a
    // name server, so the test needs no network.
    EXPECT_FALSE(c.Connect("no..such.host", 80, false, 2000));
    EXPECT_NE(c.LastErrorText().find("Cannot resolve host no..such.host"), std::string::npos);
}

TEST(Socket, AnAbortSwitchEndsAConnectAReceiveAndEverySocketAttachedLater) {
    // A listener that accepts nothing, with a backlog of none: the first
    // connect completes in the kernel, the next one waits for an answer.
    Socket listener;
    ASSERT_TRUE(listener.BindAndListen(0, 0, "127.0.0.1"));
    const int port = listener.LocalPort();
    auto hangUp = std::make_shared<AbortSwitch>();
    Socket first, second;
    first.SetAbortSwitch(hangUp);
    second.SetAbortSwitch(hangUp);
    ASSERT_TRUE(first.Connect("127.0.0.1", port, false, 2000));
    first.SetReadIdleLimit(0); // waits for ever
    auto receiving = std::async(std::launch::async, [&] {
        ByteData none;
        return first.ReceiveBytes(none);
    });
    auto connecting = std::async(std::launch::async,
                                 [&] { return second.Connect("127.0.0.1", port, false, 60000); });
    hangUp->abort();
    ASSERT_EQ(receiving.wait_for(seconds(5)), std::future_status::ready);
    ASSERT_EQ(connecting.wait_for(seconds(5)), std::future_status::ready);
    EXPECT_FALSE(receiving.get() || connecting.get());

    Pair p;
    ASSERT_TRUE(p.server);
    auto late = std::make_unique<Socket>();
    late->SetAbortSwitch(hangUp);
    EXPECT_FALSE(late->Connect("127.0.0.1", p.listener.LocalPort(), false, 2000));
    late.reset(); // detached: a later throw does not touch it
    hangUp->abort();
}
