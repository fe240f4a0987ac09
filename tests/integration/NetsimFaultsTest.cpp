// Faults on demand: each scripted fault of the simulated service reaches
// the shop side as the fault it names.
#include "protocol/CentralService.h"
#include "protocol/LogoutRequest.h"
#include "protocol/ProductListFetch.h"
#include "protocol/ProductUpdateMessages.h"
#include "protocol/ShopInfoMessages.h"
#include "protocol/ShopSetupConfirmation.h"

#include "support/NetsimShopClient.h"
#include "support/RecordingPrompter.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::Exchanged;
using testsupport::ReplyFault;
using testsupport::ShopClient;

namespace {

class NetsimFaults : public ::testing::Test, protected testsupport::ServedClient {
protected:
    void SetUp() override {
        ASSERT_TRUE(start({"--faults", service.faultsFile()})) << service.log().toStdString();
        ASSERT_EQ(login(), 1);
    }

    Exchanged infoExchange(ShopInfoFetchResponse& reply) {
        ShopInfoFetchRequest request;
        request.sessionBlock() = client->sessionBlock();
        return client->session(request, reply);
    }

    testsupport::RecordingPrompter prompter;
};

} // namespace

TEST_F(NetsimFaults, ReturncodesReachTheShop) {
    ASSERT_TRUE(service.writeFaults(R"([
        {"kind": "4/1", "action": "returncode", "value": -1},
        {"kind": "4/2", "action": "returncode", "value": -3},
        {"kind": "6/2", "action": "refuse"}])"));
    EXPECT_EQ(fetchInfo(), -1);
    EXPECT_EQ(fetchInfo(), 1); // the rule was for one request

    ProductUpdateRequest update;
    update.setProducts({{1, 1.0f, "one"}});
    ProductUpdateResponse updated;
    EXPECT_EQ(session(update, updated), -3);

    EXPECT_EQ(checkOrder(endpoint, prompter, "R1", "R2").result, -2);

    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(service.waitForLog("[fault: returncode -3]"));
}

TEST_F(NetsimFaults, ShortAnswersTakeTheShortReplyPaths) {
    ASSERT_TRUE(service.writeFaults(R"([
        {"kind": "4/1", "action": "short"}, {"kind": "6/2", "action": "short"},
        {"kind": "raw3", "action": "short"}, {"kind": "raw1", "action": "short"},
        {"kind": "raw5", "action": "short"}])"));
    ShopInfoFetchResponse info;
    Exchanged e = infoExchange(info);
    EXPECT_EQ(e.fault, ReplyFault::ShortReply);
    EXPECT_EQ(e.openingSize, 12u);

    EXPECT_EQ(checkOrder(endpoint, prompter, "R1", "R2").result, -2);
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{kNoResponseText});

    ByteData logout = client->raw(buildLogoutRequest(client->sessionBlock()));
    EXPECT_EQ(logout.size(), 2u);
    EXPECT_FALSE(parseLogoutReply(bytesOf(logout)).ok);
    ByteData confirmation = client->raw(buildConfirmationRequest("X;y"));
    EXPECT_GT(confirmation.size(), 0u);
    EXPECT_FALSE(parseConfirmationReply(bytesOf(confirmation)).ok);

    FramedPacket packet;
    EXPECT_EQ(client->rawPacket(buildProductListFetch(shopId), packet), -1);
}

TEST_F(NetsimFaults, AnswersOfAnotherKind) {
    ASSERT_TRUE(service.writeFaults(R"([
        {"kind": "4/1", "action": "wrong-kind"}, {"kind": "6/4", "action": "wrong-kind"},
        {"kind": "raw5", "action": "wrong-kind"}, {"kind": "raw3", "action": "wrong-kind"}])"));
    ShopInfoFetchResponse info;
    Exchanged e = infoExchange(info);
    EXPECT_EQ(e.fault, ReplyFault::WrongKind);
    EXPECT_EQ(e.openingSize, 108u);

    EXPECT_EQ(requestPaymentStatus(endpoint, prompter, "R1", "R2", "7").result, -2);
    EXPECT_FALSE(fetchProductList(endpoint, prompter, shopId));
    EXPECT_EQ(prompter.messages(),
              (std::vector<std::string>{kBadCommText, kTransmissionIdMismatchText}));

    auto logout =
        parseLogoutReply(bytesOf(client->raw(buildLogoutRequest(client->sessionBlock()))));
    EXPECT_EQ(logout.value.tag, 99u);
}

TEST_F(NetsimFaults, CloseBeforeTheAnswerAndDelaysWithinLimits) {
    ASSERT_TRUE(service.writeFaults(R"([
        {"kind": "2/0", "action": "close"}, {"kind": "6/2", "action": "close"},
        {"kind": "4/1", "action": "delay", "ms": 1200}])"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(fetchInfo(), 1);
    EXPECT_GE(timer.elapsed(), 1200);
    EXPECT_LT(timer.elapsed(), ShopClient::kIdleMs);

    LoginResponse login;
    EXPECT_EQ(client->login(shopId, "secret", login).fault, ReplyFault::NoReply);
    EXPECT_EQ(checkOrder(endpoint, prompter, "R1", "R2").result, -2);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(client->login(shopId, "secret", login).fault, ReplyFault::None);
}

TEST_F(NetsimFaults, TheControlFileIsReadBeforeEachRequest) {
    QByteArray once = R"([{"kind": "4/1", "action": "returncode", "value": -2}])";
    ASSERT_TRUE(service.writeFaults(once));
    EXPECT_EQ(fetchInfo(), -2);
    // The same content again does not arm the rule again ...
    ASSERT_TRUE(service.writeFaults(once));
    EXPECT_EQ(fetchInfo(), 1);
    // ... a changed file does.
    ASSERT_TRUE(service.writeFaults(R"([{"kind": "*", "action": "returncode", "value": -2,
                                        "count": 2}])"));
    EXPECT_EQ(fetchInfo(), -2);
    EXPECT_EQ(fetchInfo(), -2);
    EXPECT_EQ(fetchInfo(), 1);

    // A rule for one order leaves the others alone, as often as it is asked.
    ASSERT_TRUE(service.writeFaults(R"([{"kind": "6/2", "action": "refuse", "value": -4,
                                        "reference": "R-9", "count": 0}])"));
    EXPECT_EQ(checkOrder(endpoint, prompter, "R-9", "W").result, -4);
    EXPECT_EQ(checkOrder(endpoint, prompter, "R-8", "W").result, 1);
    EXPECT_EQ(checkOrder(endpoint, prompter, "X", "R-9").result, -4);

    ASSERT_TRUE(service.writeFaults("[{\"kind\": \"9/9\", \"action\": \"short\"}]"));
    EXPECT_EQ(fetchInfo(), 1);
    EXPECT_TRUE(service.waitForLog("control file ignored: rule 1: unknown kind \"9/9\""));
    ASSERT_TRUE(service.writeFaults("[{\"kind\": "));
    EXPECT_EQ(checkOrder(endpoint, prompter, "R-9", "W").result, 1);
}

TEST_F(NetsimFaults, RulesFromTheCommandLineCountDown) {
    ASSERT_TRUE(start({"--fault", "6/2:returncode=-3:2", "--fault", "4/1:returncode=-1"}))
        << service.log().toStdString();
    ASSERT_EQ(login(), 1);
    EXPECT_EQ(checkOrder(endpoint, prompter, "A", "B").result, -3);
    EXPECT_EQ(checkOrder(endpoint, prompter, "A", "B").result, -3);
    EXPECT_EQ(checkOrder(endpoint, prompter, "A", "B").result, 1);
    EXPECT_EQ(fetchInfo(), -1);
    EXPECT_EQ(fetchInfo(), 1);

    for (const char* bad : {"6/2", "6/2:explode", "7/7:short", "6/2:returncode", "6/2:delay=-5",
                            "4/2:payment=2", "6/2:short:x"}) {
        auto run =
            testsupport::runNetsim({"service", "--port", "0", "--chat-port", "0", "--fault", bad});
        EXPECT_EQ(run.exitCode, 2) << bad;
        EXPECT_TRUE(run.err.contains("--fault")) << bad << ": " << run.err.toStdString();
    }
}
