// The simulated service's two ports and its answers to the shop's order
// requests, the latter through the shop's own request functions.
#include "protocol/CentralService.h"
#include "protocol/ChatMessages.h"
#include "protocol/OrderCheckMessages.h"

#include "support/NetsimShopClient.h"
#include "support/RecordingPrompter.h"

#include <gtest/gtest.h>

using namespace quillon;
using testsupport::RecordingPrompter;
using testsupport::ReplyFault;

namespace {

class NetsimChatAndOrders : public ::testing::Test, protected testsupport::ServedClient {
protected:
    void SetUp() override {
        ASSERT_TRUE(start({"--refuse", "BAD-1"})) << service.log().toStdString();
    }
};

} // namespace

TEST_F(NetsimChatAndOrders, EachPortTakesOnlyItsOwnRequests) {
    ChatPollRequest poll;
    poll.shopId = shopId;
    ChatReply reply;
    // Refused before the version answer, so the request is never sent.
    EXPECT_EQ(client->plain(poll, reply, false).fault, ReplyFault::NotSent);
    OrderCheckRequest check;
    check.reference1 = "A";
    OrderCheckAnswer answer;
    EXPECT_EQ(client->plain(check, answer, true).fault, ReplyFault::NotSent);
    EXPECT_TRUE(service.waitForLog("no request 11/6 here"));
}

// The shop's own tests cover the answers it gets; these are the per-order
// rules.
TEST_F(NetsimChatAndOrders, OrdersAreRefusedAndPaidPerReference) {
    RecordingPrompter prompter;
    EXPECT_EQ(checkOrder(endpoint, prompter, "VPN-1", "WEB").result, 1);
    for (auto [ref1, ref2] : {std::pair{"BAD-1", "WEB"}, {"X", "BAD-1"}}) {
        OrderCheckResult refused = checkOrder(endpoint, prompter, ref1, ref2);
        EXPECT_EQ(refused.result, -2);
        EXPECT_TRUE(refused.shipping1.empty());
    }

    ASSERT_TRUE(start({"--faults", service.faultsFile()}));
    ASSERT_TRUE(service.writeFaults(R"([{"kind": "6/4", "action": "payment", "code": 2,
        "text1": "Sandbox", "text2": "", "reference": "SBX-7", "count": 0}])"));
    for (int i = 0; i < 2; ++i) {
        PaymentStatusResult sandbox = requestPaymentStatus(endpoint, prompter, "SBX-7", "W", "1");
        EXPECT_EQ(std::tuple(sandbox.paymentCode, sandbox.paymentText1), std::tuple(2, "Sandbox"));
    }
    EXPECT_EQ(requestPaymentStatus(endpoint, prompter, "OTHER", "W", "2").paymentCode, 1);
    EXPECT_TRUE(prompter.messages().empty());
}
