// The simulated service's chat desk and its answers to the shop's order
// requests, the latter through the shop's own request functions.
#include "protocol/CentralService.h"
#include "protocol/ChatBlobs.h"
#include "protocol/ChatMessages.h"
#include "protocol/OrderCheckMessages.h"

#include "support/NetsimShopClient.h"
#include "support/RecordingPrompter.h"

#include <gtest/gtest.h>

using namespace quillon;
using testsupport::RecordingPrompter;
using testsupport::ReplyFault;
using testsupport::ShopClient;

namespace {

class NetsimChatAndOrders : public ::testing::Test, protected testsupport::ServedClient {
protected:
    void SetUp() override {
        ASSERT_TRUE(start({"--refuse", "BAD-1"})) << service.log().toStdString();
    }

    // Sends a chat request on the chat port: the reply's result, or -100
    // when the exchange itself failed.
    int32_t chat(const Message& request, ChatReply& reply) {
        return client->plain(request, reply, true).fault == ReplyFault::None ? reply.result : -100;
    }

    int32_t open(const std::string& password, std::vector<ChatLinePair>& greeting) {
        ChatOpenRequest request;
        request.shopId = shopId;
        request.password = password;
        ChatReply reply;
        int32_t result = chat(request, reply);
        greeting = decodeLinePairs(bytesOf(reply.data)).value;
        return result;
    }

    int32_t send(const ChatRecord& record) {
        ChatSendRequest request;
        request.shopId = shopId;
        request.record = encodeChatRecord(record);
        ChatReply reply;
        return chat(request, reply);
    }

    int32_t poll(std::vector<ChatRecord>& records) {
        ChatPollRequest request;
        request.shopId = shopId;
        ChatReply reply;
        int32_t result = chat(request, reply);
        auto decoded = decodeChatRecords(bytesOf(reply.data));
        EXPECT_TRUE(decoded.ok);
        records = decoded.value;
        return result;
    }

    int32_t close() {
        ChatCloseRequest request;
        request.shopId = shopId;
        ChatReply reply;
        return chat(request, reply);
    }
};

} // namespace

TEST_F(NetsimChatAndOrders, ChatSessionOpenSendPollClose) {
    std::vector<ChatLinePair> greeting;
    EXPECT_EQ(open("wrong", greeting), -1);
    EXPECT_TRUE(greeting.empty());
    ASSERT_EQ(open("secret", greeting), 1);
    ASSERT_EQ(greeting.size(), 1u);
    EXPECT_FALSE(greeting[0].line.empty());
    EXPECT_EQ(open("secret", greeting), -2);

    std::vector<ChatRecord> records;
    EXPECT_EQ(poll(records), 1);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(send({"Anna", {"Hello there", "A question about the price of canvas"}}), 1);
    EXPECT_EQ(send({"Anna", {"and about PayPal"}}), 1);
    // Each record sent gets one answer from the staff, delivered by the poll.
    ASSERT_EQ(poll(records), 1);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, records[1].name);
    EXPECT_NE(records[0].name, "Anna");
    EXPECT_NE(records[0].lines, records[1].lines);
    EXPECT_EQ(poll(records), 1);
    EXPECT_TRUE(records.empty());

    EXPECT_EQ(close(), 1);
    EXPECT_EQ(close(), -1);
    EXPECT_EQ(poll(records), -1);
    EXPECT_EQ(send({"Anna", {"still there?"}}), -1);
    // A closed session can be opened again.
    EXPECT_EQ(open("secret", greeting), 1);
}

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
