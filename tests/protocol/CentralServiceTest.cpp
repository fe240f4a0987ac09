#include "protocol/CentralService.h"

#include "protocol/Exchange.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"
#include "protocol/ProductListFetch.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

struct RecordingPrompter : Prompter {
    std::vector<std::string> shown;
    void showMessage(const std::string& text) override { shown.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
};

// A simulated service: receives the request by the plain exchange, then
// runs `reply` on the same connection.
std::function<void(Socket&)> serve(Message& request, std::function<void(Socket&)> reply) {
    return [&request, reply](Socket& s) {
        ByteData opening;
        if (!s.ReceiveBytesN(MessageHeader::kSize, opening) ||
            receivePlain(request, bytesOf(opening), s) < 0)
            return;
        reply(s);
    };
}

std::function<void(Socket&)> answerWith(Message& answer) {
    return [&answer](Socket& s) { sendPlain(answer, s); };
}

ServiceEndpoint endpointOf(const LoopbackPeer& peer) {
    return {"127.0.0.1", peer.port()};
}

int closedPort() {
    Socket s;
    s.BindAndListen(0, 1, "127.0.0.1");
    return s.LocalPort(); // closed when s goes
}

} // namespace

TEST(CentralService, CheckOrderReturnsTheAnswerAndItsShippingTexts) {
    OrderCheckRequest got;
    OrderCheckAnswer answer;
    answer.result = 1;
    answer.shipping1 = "UPS";
    answer.shipping2 = "Express";
    answer.shipping3 = "12 Main St";
    LoopbackPeer peer(serve(got, answerWith(answer)));
    RecordingPrompter prompter;
    OrderCheckResult r = checkOrder(endpointOf(peer), prompter, "R1", "R2");
    peer.finish();
    EXPECT_EQ(got.reference1, "R1");
    EXPECT_EQ(got.reference2, "R2");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.shipping1, "UPS");
    EXPECT_EQ(r.shipping2, "Express");
    EXPECT_EQ(r.shipping3, "12 Main St");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(CentralService, OrderRequestFailuresAndWhatTheyShow) {
    std::string opening = MessageHeader{6, 2, 0}.encode().toString();
    OrderCheckRequest got;
    OrderNumberAnswer wrongKind;
    struct Case {
        const char* what;
        std::function<void(Socket&)> reply;
        int expected;
        std::vector<std::string> shown;
    };
    std::vector<Case> cases = {
        {"closes after the request", scripted({}), -2, {}},
        {"answers 8 bytes", scripted({{0, opening.substr(0, 8)}}), -2, {kNoResponseText}},
        {"answers another kind", answerWith(wrongKind), -2, {kBadCommText}},
        {"answer body never comes", scripted({{0, opening}, {4, ""}}), -2, {}},
        {"answer header torn", scripted({{0, opening}, {4, "\x01\x00\x00"}}), -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPeer peer(serve(got, c.reply));
        RecordingPrompter prompter;
        EXPECT_EQ(checkOrder(endpointOf(peer), prompter, "R1", "R2").result, c.expected);
        EXPECT_EQ(prompter.shown, c.shown);
    }
}

TEST(CentralService, SendFailuresArePassedOnAndNoConnectionIsZero) {
    RecordingPrompter prompter;
    EXPECT_EQ(checkOrder({"127.0.0.1", closedPort()}, prompter, "R1", "R2").result, 0);
    EXPECT_EQ(reportOrderNumber({"127.0.0.1", closedPort()}, prompter, "R1", "R2", "N"), 0);
    EXPECT_EQ(requestPaymentStatus({"127.0.0.1", closedPort()}, prompter, "R1", "R2", "N").result,
              0);
    EXPECT_TRUE(prompter.shown.empty());

    // The service answers version 1 to a message that has only version 0.
    LoopbackPeer peer(scripted({{12, u32le(1)}}));
    EXPECT_EQ(checkOrder(endpointOf(peer), prompter, "R1", "R2").result, -6);
}

TEST(CentralService, ReportOrderNumberAndPaymentStatus) {
    OrderNumberReport report;
    OrderNumberAnswer reportAnswer;
    reportAnswer.result = 17;
    LoopbackPeer reportPeer(serve(report, answerWith(reportAnswer)));
    RecordingPrompter prompter;
    EXPECT_EQ(reportOrderNumber(endpointOf(reportPeer), prompter, "R1", "R2", "000042"), 17);
    reportPeer.finish();
    EXPECT_EQ(report.orderNumber, "000042");
    EXPECT_EQ(report.reserved, 0);

    PaymentStatusRequest status;
    PaymentStatusAnswer paid;
    paid.result = 1;
    paid.paymentCode = 1;
    paid.paymentText1 = "Paid";
    paid.paymentText2 = "PayPal";
    LoopbackPeer statusPeer(serve(status, answerWith(paid)));
    PaymentStatusResult r =
        requestPaymentStatus(endpointOf(statusPeer), prompter, "R1", "R2", "000042");
    statusPeer.finish();
    EXPECT_EQ(status.orderNumber, "000042");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.paymentCode, 1);
    EXPECT_EQ(r.paymentText1, "Paid");
    EXPECT_EQ(r.paymentText2, "PayPal");

    // A 6/2 answer to a 6/4 request is another kind.
    PaymentStatusRequest again;
    OrderCheckAnswer other;
    LoopbackPeer wrong(serve(again, answerWith(other)));
    EXPECT_EQ(requestPaymentStatus(endpointOf(wrong), prompter, "R1", "R2", "N").result, -2);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{kBadCommText});
}

namespace {

// A service that answers the fetch with a framed body under `protocolId`.
std::function<void(Socket&)> productService(std::string& shopId, uint32_t protocolId,
                                            ByteData body) {
    return [&shopId, protocolId, body](Socket& s) {
        ByteData request;
        if (!s.ReceiveBytes(request))
            return;
        shopId = parseProductListFetch(bytesOf(request)).value_or("?");
        FramedPacket(protocolId, body).sendPacket(s);
    };
}

} // namespace

TEST(CentralService, FetchProductList) {
    ProductList products = {{1, 0.5f, "Print 10x15"}, {2, 3.25f, "Mug"}};
    std::string shopId;
    RecordingPrompter prompter;

    LoopbackPeer peer(productService(shopId, 1, buildProductListReplyBody(products)));
    auto list = fetchProductList(endpointOf(peer), prompter, "SHOP9");
    peer.finish();
    EXPECT_EQ(shopId, "SHOP9");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[1].description, "Mug");
    EXPECT_EQ((*list)[1].price, 3.25f);

    LoopbackPeer empty(productService(shopId, 1, buildProductListReplyBody({})));
    auto none = fetchProductList(endpointOf(empty), prompter, "SHOP9");
    ASSERT_TRUE(none) << "0 entries is an empty list";
    EXPECT_TRUE(none->empty());
    EXPECT_TRUE(prompter.shown.empty());

    LoopbackPeer mismatch(productService(shopId, 2, buildProductListReplyBody(products)));
    EXPECT_FALSE(fetchProductList(endpointOf(mismatch), prompter, "SHOP9"));
    EXPECT_EQ(prompter.shown, std::vector<std::string>{kTransmissionIdMismatchText});

    ByteData torn = buildProductListReplyBody(products);
    torn.resize(torn.size() - 2);
    LoopbackPeer truncated(productService(shopId, 1, torn));
    EXPECT_FALSE(fetchProductList(endpointOf(truncated), prompter, "SHOP9"));

    EXPECT_FALSE(fetchProductList({"127.0.0.1", closedPort()}, prompter, "SHOP9"));
    EXPECT_EQ(prompter.shown.size(), 1u);
}
