// The shop's account, history and chat requests against the simulated central service and
// its scripted faults: what each stores, returns and shows.
#include "protocol/ChatRequests.h"
#include "protocol/HistoryRequest.h"
#include "protocol/ProductListFetch.h"
#include "protocol/SessionRequests.h"
#include "protocol/ShopSetupRequests.h"

#include "support/LoopbackPeer.h"
#include "support/NetsimService.h"
#include "support/PythonServer.h"

#include <functional>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::NetsimService;

namespace {

// A service of its own for each case (a case changes a password, a product
// list, a chat session): shops 42 and 43 with demo products.
class AccountRequests : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_service.start({"--shop", "42:secret:shop@example.com", "--shop",
                                     "43:secret:other@example.com", "--seed"}))
            << m_service.log().toStdString();
    }

    NetsimService& service() { return m_service; }
    ServiceEndpoint endpoint() { return {"127.0.0.1", m_service.servicePort()}; }
    static std::string shopId(int number) { return NetsimService::shopId(number).toStdString(); }

    // The next request of `kind` misbehaves.
    void fault(const char* kind, const char* action = "", int value = 0) {
        ASSERT_TRUE(
            m_service.writeFaults(QString(R"([{"kind": "%1", "action": "%2", "value": %3}])")
                                      .arg(kind, action)
                                      .arg(value)
                                      .toUtf8()));
    }

    // Shows whatever the request wanted shown.
    std::vector<std::string> shown() { return prompter.take(); }

    LoginResult loginAs(int number, const std::string& password = "secret") {
        return login(endpoint(), prompter, shopId(number), password);
    }

    CollectingPrompter prompter;
    NetsimService m_service;
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(AccountRequests, LoginTakesTokensOnOneAndMinusThreeOnly) {
    LoginResult refused = loginAs(42, "wrong");
    EXPECT_FALSE(refused.loggedIn);
    EXPECT_EQ(shown(), Texts{"Invalid SHOP ID or password."});

    fault("2/0", "returncode", -3);
    LoginResult accepted = loginAs(42);
    EXPECT_EQ(std::tuple(accepted.loggedIn, accepted.session.token1().size()),
              std::tuple(true, 32u));
    shown();

    fault("2/0", "short");
    EXPECT_FALSE(loginAs(42).loggedIn);
    EXPECT_EQ(shown(), Texts{kNoResponseText});
    fault("2/0", "wrong-kind");
    EXPECT_FALSE(loginAs(42).loggedIn);
    EXPECT_EQ(shown(), Texts{kBadDataText});
}

TEST_F(AccountRequests, LogoutEndsTheSessionOnItsThreeResults) {
    SessionBlock session = loginAs(42).session;
    shown();
    EXPECT_TRUE(logout(endpoint(), prompter, session).loggedOut);
    fault("raw3", "returncode", -2);
    EXPECT_TRUE(logout(endpoint(), prompter, session).loggedOut);
    fault("raw3", "returncode", 7);
    const LogoutResult other = logout(endpoint(), prompter, session);
    EXPECT_EQ(std::tuple(other.answered, other.loggedOut), std::tuple(true, false));
    fault("raw3", "wrong-kind");
    EXPECT_FALSE(logout(endpoint(), prompter, session).loggedOut);
    fault("raw3", "close");
    EXPECT_FALSE(logout(endpoint(), prompter, session).answered);
    EXPECT_EQ(shown(), (Texts{kLogoutDoneText, kBadDataText, kBadCommText}));
}

TEST_F(AccountRequests, PasswordAndShopInformationAnswerByReturncode) {
    SessionBlock session = loginAs(43).session;
    shown();
    EXPECT_EQ(changePassword(endpoint(), prompter, session, "secret", "newpass1"), 1);
    EXPECT_EQ(shown(), Texts{kPasswordChangedText});
    LoginResult again = loginAs(43, "newpass1");
    ASSERT_TRUE(again.loggedIn);
    session = again.session;
    shown();

    ShopInfoFetch fetched = fetchShopInformation(endpoint(), prompter, session);
    ASSERT_EQ(fetched.returncode, 1);
    EXPECT_EQ(fetched.info.email1, "other@example.com");
    EXPECT_TRUE(shown().empty());
    fetched.info.city = "Deventer";
    fetched.info.salesTax = std::bit_cast<uint32_t>(7.5f);
    EXPECT_EQ(updateShopInformation(endpoint(), prompter, session, fetched.info), 1);
    EXPECT_EQ(shown(), Texts{kShopInfoUpdatedText});
    ShopInfo back = fetchShopInformation(endpoint(), prompter, session).info;
    EXPECT_EQ(std::tuple(back.city, std::bit_cast<float>(back.salesTax)),
              std::tuple("Deventer", 7.5f));

    const std::pair<const char*, std::function<std::optional<int32_t>()>> requests[] = {
        {"4/3", [&] { return changePassword(endpoint(), prompter, session, "a", "b"); }},
        {"4/0", [&] { return updateShopInformation(endpoint(), prompter, session, back); }},
        {"4/1", [&] { return fetchShopInformation(endpoint(), prompter, session).returncode; }}};
    for (const auto& [kind, send] : requests)
        for (int32_t rc : {-1, -2}) {
            fault(kind, "returncode", rc);
            EXPECT_EQ(send(), rc) << kind;
            EXPECT_EQ(shown(), Texts{rc == -1 ? kSessionTimeoutText : kActionRefusedText}) << kind;
        }
    fault("4/0", "short");
    EXPECT_FALSE(updateShopInformation(endpoint(), prompter, session, back));
    EXPECT_EQ(shown(), Texts{kNoResponseText});
}

TEST_F(AccountRequests, ProductListUploadAndFetch) {
    SessionBlock session = loginAs(42).session;
    shown();
    EXPECT_EQ(updateProductList(endpoint(), prompter, session, {}), 1);
    EXPECT_EQ(shown(), Texts{kProductsUpdatedText});
    auto none = fetchProductList(endpoint(), prompter, shopId(42));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    ProductList list{{7, 1000000.0f, "Canvas 60x90 cm"}, {8, 0.29f, ""}};
    EXPECT_EQ(updateProductList(endpoint(), prompter, session, list), 1);
    auto back = fetchProductList(endpoint(), prompter, shopId(42));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ(std::tuple((*back)[0].price, (*back)[1].description), std::tuple(1000000.0f, ""));

    fault("4/2", "returncode", -1);
    EXPECT_EQ(updateProductList(endpoint(), prompter, session, list), -1);
    fault("4/2", "wrong-kind");
    EXPECT_FALSE(updateProductList(endpoint(), prompter, session, list));
    EXPECT_EQ(shown(), (Texts{kProductsUpdatedText, kSessionTimeoutText, kBadDataText}));
}

TEST_F(AccountRequests, ShopSetupAndConfirmation) {
    const ShopSetupDetails details{.shopName = "Foto Verhoef",
                                   .password = "pw123456",
                                   .email1 = "info@verhoef.example",
                                   .phone1 = "038 421 5566",
                                   .primaryContact = "Anneke Verhoef",
                                   .url = "https://verhoef.example"};
    const auto outcome = [](const ConfirmationResult& r) { return std::tuple(r.result, r.status); };

    EXPECT_EQ(sendShopSetup(endpoint(), prompter, details, "pw12345").result, 1);
    EXPECT_EQ(shown(), Texts{kPasswordsMismatchText});
    EXPECT_FALSE(service().log().contains("0/0"));
    // A refusal is the first start's test.
    fault("0/0", "close");
    EXPECT_EQ(sendShopSetup(endpoint(), prompter, details, "pw123456").result, 0);
    EXPECT_EQ(shown(), Texts{kConnectionBrokenText});

    ShopSetupResult accepted = sendShopSetup(endpoint(), prompter, details, "pw123456");
    EXPECT_EQ(std::tuple(accepted.result, accepted.accepted), std::tuple(0, true));
    Texts message = shown();
    ASSERT_EQ(message.size(), 1u);
    const size_t at = message[0].find("SHOP ID is ");
    ASSERT_NE(at, std::string::npos) << message[0];
    const std::string newId = message[0].substr(at + 11, 32);

    EXPECT_EQ(outcome(confirmShopSetup(endpoint(), prompter, newId, "x@y")), std::tuple(4, 1));
    fault("raw1", "close");
    EXPECT_EQ(confirmShopSetup(endpoint(), prompter, newId, details.email1).result, 6);
    fault("raw1", "wrong-kind");
    EXPECT_EQ(confirmShopSetup(endpoint(), prompter, newId, details.email1).result, 5);
    EXPECT_EQ(outcome(confirmShopSetup(endpoint(), prompter, newId, details.email1)),
              std::tuple(0, 2));
    EXPECT_EQ(shown(), (Texts{"The SHOP ID and e-mail address do not match our records.",
                              kConnectionBrokenText, kBadCommText,
                              "Your shop is set up. Welcome to the Velorin Photo Network."}));
}

// Finding, showing and the -1 and -2 texts are the history dialog's test;
// here the other ends of the request.
TEST_F(AccountRequests, HistoryOnRefusalForgedSessionAndNoService) {
    const SessionBlock session = loginAs(42).session;
    shown();
    HistoryFetch none = fetchHistory(endpoint(), prompter, session, 90101, 90101);
    EXPECT_EQ(std::tuple(none.returncode, none.rows.size()), std::tuple(1, 0u));
    EXPECT_TRUE(service().waitForLog("10/2 history 90101-90101"));
    fault("10/2", "returncode", -3);
    HistoryFetch refused = fetchHistory(endpoint(), prompter, session, 101, 991231);
    EXPECT_EQ(std::tuple(refused.returncode, refused.rows.size()), std::tuple(-3, 0u));
    fault("10/2", "short");
    EXPECT_EQ(fetchHistory(endpoint(), prompter, session, 101, 991231).returncode, 0);
    const SessionBlock forged(shopId(42), "forged", "tokens");
    EXPECT_EQ(fetchHistory(endpoint(), prompter, forged, 101, 991231).returncode, -1);
    const ServiceEndpoint nobody{"127.0.0.1", testsupport::closedLocalPort()};
    EXPECT_EQ(fetchHistory(nobody, prompter, session, 101, 991231).returncode, -2);
    EXPECT_EQ(shown(), (Texts{kHistoryBadDataText, kSessionTimeoutText}));
}

// Opening, sending, the answered and the result-0 polls are the chat window's
// test; here the outcomes it does not reach.
TEST_F(AccountRequests, ChatOutcomesOfBadAnswersAndAfterClosing) {
    const ServiceEndpoint chat{"127.0.0.1", service().chatPort()};
    const std::string shop = shopId(43);
    ASSERT_EQ(openChatSession(chat, prompter, shop, "secret", {}).outcome, ChatOutcome::Done);
    fault("11/6", "returncode", 0);
    EXPECT_EQ(pollChat(chat, shop).outcome, ChatOutcome::Ignored);
    fault("11/6", "wrong-kind");
    EXPECT_EQ(pollChat(chat, shop).outcome, ChatOutcome::Corrupted);

    EXPECT_EQ(closeChatSession(chat, prompter, shop), ChatOutcome::Done);
    EXPECT_EQ(closeChatSession(chat, prompter, shop), ChatOutcome::Refused);
    EXPECT_EQ(pollChat(chat, shop).outcome, ChatOutcome::Refused);
    EXPECT_EQ(sendChatLines(chat, shop, {"Anna", {"still there?"}}).outcome, ChatOutcome::Refused);
    EXPECT_EQ(shown(), (Texts{kChatAlreadyClosedText}));
    for (auto [action, text] :
         {std::pair{"wrong-kind", kChatCorruptedText}, std::pair{"short", kChatUnreachableText}}) {
        fault("11/0", action);
        EXPECT_NE(openChatSession(chat, prompter, shop, "secret", {}).outcome, ChatOutcome::Done);
        EXPECT_EQ(shown(), Texts{text}) << action;
    }
    const ServiceEndpoint nobody{"127.0.0.1", testsupport::closedLocalPort()};
    EXPECT_EQ(openChatSession(nobody, prompter, shop, "secret", {}).outcome,
              ChatOutcome::NoConnection);
    EXPECT_EQ(shown(), Texts{kChatNoConnectionText});
}

TEST(ShopSetupRequests, ConfirmationWithAnEmptyMessageAndNoService) {
    using testsupport::u32le;
    testsupport::LoopbackPeer peer([](Socket& s) {
        ByteData request;
        s.ReceiveBytes(request);
        s.SendBytes(ByteData(u32le(1) + u32le(1) + u32le(0)));
    });
    CollectingPrompter prompter;
    EXPECT_EQ(confirmShopSetup({"127.0.0.1", peer.port()}, prompter, "ID", "a@b").status, 2);
    EXPECT_EQ(prompter.take(), Texts{""});

    const ServiceEndpoint nobody{"127.0.0.1", testsupport::closedLocalPort()};
    EXPECT_EQ(confirmShopSetup(nobody, prompter, "ID", "a@b").result, 2);
    EXPECT_EQ(sendShopSetup(nobody, prompter, {}, "").result, 2);
    EXPECT_EQ(prompter.take(), (Texts{kUnableToConnectText, kUnableToConnectText}));
}
