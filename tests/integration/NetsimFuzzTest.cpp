// The simulated service under a storm of malformed requests: random bytes,
// cut openings, openings with garbage bodies, huge declared lengths. It
// must answer none of them wrongly and still serve a normal login after.
#include "protocol/Credentials.h"
#include "protocol/FramedPacket.h"
#include "protocol/LogoutRequest.h"
#include "protocol/MessageHeader.h"
#include "protocol/ProductListFetch.h"
#include "protocol/SessionRequests.h"
#include "protocol/ShopSetupConfirmation.h"

#include "support/LoopbackPeer.h"
#include "support/NetsimService.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace quillon;
using testsupport::NetsimService;

namespace {

constexpr int kRequests = 1200;
constexpr int kThreads = 4;
constexpr int kWaitMs = 2000;

class Storm {
public:
    explicit Storm(uint32_t seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng() % uint32_t(n)); }

    ByteData randomBytes(int count) {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += char(m_rng());
        return ByteData(out);
    }

    // A real opening of a kind the service knows, any subkind and version.
    ByteData opening() {
        static const uint32_t kinds[] = {0, 2, 4, 6, 10, 11};
        uint32_t kind = kinds[below(6)];
        MessageHeader header{kind, uint32_t(below(5)), uint32_t(below(3))};
        if (kind == 2 || kind == 4)
            return header.encodeSession(SessionBlock("shop", "t1", "t2"));
        return header.encode();
    }

    ByteData rawRequest() {
        switch (below(3)) {
        case 0:
            return buildLogoutRequest(SessionBlock("shop", "a", "b"));
        case 1:
            return buildProductListFetch("SHOP");
        default:
            return buildConfirmationRequest("SHOP;mail@example.com");
        }
    }

private:
    std::mt19937 m_rng;
};

std::unique_ptr<Socket> connectTo(int port) {
    auto s = std::make_unique<Socket>();
    if (!s->Connect("127.0.0.1", port, false, kWaitMs))
        return nullptr;
    s->SetReadIdleLimit(kWaitMs);
    s->SetSendIdleLimit(kWaitMs);
    return s;
}

// The shop's own login against the service.
bool logsIn(const NetsimService& service) {
    testsupport::RecordingPrompter prompter;
    return login({"127.0.0.1", service.servicePort()}, prompter, encryptCredential("O1000042"),
                 "secret")
        .loggedIn;
}

// Reads what the service answers now, without caring what it is.
void drain(Socket& socket) {
    ByteData ignored;
    socket.ReceiveBytes(ignored);
}

void throwOne(Storm& storm, Socket& s, int index) {
    switch (index % 8) {
    case 0: // short random strings
        s.SendBytes(storm.randomBytes(1 + storm.below(64)));
        break;
    case 1:
    case 2: { // a cut opening or a cut raw request
        ByteData whole = index % 8 == 1 ? storm.opening() : storm.rawRequest();
        s.SendBytes(testsupport::prefix(whole, 1 + size_t(storm.below(int(whole.size()) - 1))));
        break;
    }
    case 3: { // an opening with a body sent before its turn
        ByteData bytes = storm.opening();
        ByteData garbage = storm.randomBytes(1 + storm.below(200));
        bytes.append(garbage.data(), garbage.size());
        s.SendBytes(bytes);
        break;
    }
    case 4: { // an opening, then a packet header declaring a huge body
        s.SendBytes(storm.opening());
        drain(s);
        ByteData header;
        header.appendU32(kPlainProtocolId);
        static const uint32_t lengths[] = {0xFFFFFFF0u, 1u << 30, 50u << 20};
        header.appendU32(lengths[storm.below(3)] + uint32_t(storm.below(1000)));
        s.SendBytes(header);
        s.SendBytes(storm.randomBytes(storm.below(100)));
        break;
    }
    case 5: { // an opening, then a well-framed body of garbage
        s.SendBytes(storm.opening());
        drain(s);
        FramedPacket(kSessionProtocolId, storm.randomBytes(storm.below(300))).sendPacket(s);
        break;
    }
    case 6: { // a raw request declaring a huge text
        ByteData raw = storm.rawRequest();
        size_t lengthAt = raw.u32At(0) == 3 ? 100 : raw.u32At(0) == 5 ? 8 : 4;
        writeU32LE(raw.data() + lengthAt, 0xFFFFFFFFu - uint32_t(storm.below(16)));
        s.SendBytes(raw);
        break;
    }
    default: { // a whole raw request with garbage in its text
        ByteData raw = storm.rawRequest();
        ByteData garbage = storm.randomBytes(int(raw.size()) - 12);
        std::copy(garbage.data(), garbage.data() + garbage.size(), raw.data() + 12);
        s.SendBytes(raw);
        break;
    }
    }
    // Closing at once: a cut request must end at the peer's close, not at
    // the service's idle limit.
    s.Close();
}

} // namespace

TEST(NetsimFuzz, MalformedRequestsEndOnlyTheirConnection) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--shop", "42:secret:shop@example.com"}))
        << service.log().toStdString();
    std::atomic<int> thrown{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Storm storm(0x5eed0000u + uint32_t(t));
            for (int i = t; i < kRequests; i += kThreads) {
                // Every fifth request goes to the chat port.
                auto s = connectTo(i % 5 == 0 ? service.chatPort() : service.servicePort());
                if (!s)
                    continue;
                throwOne(storm, *s, i / kThreads + t);
                ++thrown;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(thrown, kRequests);

    ASSERT_TRUE(service.isRunning());
    EXPECT_TRUE(logsIn(service));
    QString log = service.log();
    EXPECT_TRUE(log.contains("malformed request"));
    EXPECT_TRUE(log.contains("declares a text of"));
    EXPECT_TRUE(log.contains("did not arrive or decode"));
    service.stop();
    EXPECT_EQ(service.exitCode(), 0);
}

TEST(NetsimFuzz, ConnectionsBeyondTheLimitAreRefusedNotQueuedForever) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--max-connections", "2"}))
        << service.log().toStdString();
    // Two peers that connect and say nothing hold both places; the third,
    // behind them in the same queue, and a fourth on the chat port are refused.
    auto first = connectTo(service.servicePort());
    auto second = connectTo(service.servicePort());
    auto third = connectTo(service.servicePort());
    ASSERT_TRUE(first && second && third);
    ByteData nothing;
    EXPECT_FALSE(third->ReceiveBytes(nothing));
    auto fourth = connectTo(service.chatPort());
    ASSERT_TRUE(fourth);
    EXPECT_FALSE(fourth->ReceiveBytes(nothing));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return service.log().count("refused: too many connections at once") == 2; }));

    first.reset();
    second.reset();
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return service.log().count("connection closed before a request arrived") == 2; }));
    EXPECT_TRUE(logsIn(service));
}
