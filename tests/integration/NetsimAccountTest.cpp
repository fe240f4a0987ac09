// The simulated central service against a minimal shop side built from the
// protocol library: every account request, with the state it keeps.
#include "protocol/ChangePasswordMessages.h"
#include "protocol/LogoutRequest.h"
#include "protocol/ProductListFetch.h"
#include "protocol/ProductUpdateMessages.h"
#include "protocol/ShopInfoMessages.h"
#include "protocol/ShopSetupConfirmation.h"
#include "protocol/ShopSetupMessages.h"

#include "support/NetsimService.h"
#include "support/NetsimShopClient.h"
#include "support/ProductListText.h"
#include "support/TestSupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using testsupport::Exchanged;
using testsupport::NetsimService;
using testsupport::productListText;
using testsupport::ReplyFault;
using testsupport::ShopClient;

namespace {

constexpr char kPassword[] = "secret";

class NetsimAccount : public ::testing::Test, protected testsupport::ServedClient {
protected:
    void SetUp() override { ASSERT_TRUE(startService()) << service.log().toStdString(); }

    bool startService(QStringList more = {}) {
        return start(QStringList{"--state", service.filePath("state.json")} + more);
    }

    std::optional<ProductList> fetchProducts() {
        FramedPacket packet;
        if (client->rawPacket(buildProductListFetch(shopId), packet) != 1 ||
            packet.protocolId() != kProductListProtocolId)
            return std::nullopt;
        auto decoded = decodeProductListReply(bytesOf(packet.body()));
        return decoded.ok ? std::optional(decoded.value) : std::nullopt;
    }

    int32_t updateProducts(const ProductList& list, int32_t count) {
        ProductUpdateRequest request;
        request.setProducts(list);
        request.entryCount = count;
        ProductUpdateResponse reply;
        return session(request, reply);
    }

    int32_t shopInfo(ShopInfo& info) {
        ShopInfoFetchRequest request;
        ShopInfoFetchResponse reply;
        int32_t rc = session(request, reply);
        info = reply.info;
        return rc;
    }

    int32_t changePassword(const std::string& oldPassword, const std::string& newPassword) {
        ChangePasswordRequest request;
        request.shopId = shopId;
        request.oldPassword = encryptCredential(oldPassword);
        request.newPassword = encryptCredential(newPassword);
        ChangePasswordResponse reply;
        return session(request, reply);
    }
};

} // namespace

TEST_F(NetsimAccount, LoginGivesFreshTokensAndRefusesAWrongPassword) {
    LoginResponse refused;
    ASSERT_EQ(client->login(shopId, "wrong", refused).fault, ReplyFault::None);
    EXPECT_EQ(refused.returncode, -2);
    EXPECT_FALSE(refused.message.empty());
    EXPECT_TRUE(refused.sessionBlock().token1().empty());

    ASSERT_EQ(login(), 1);
    SessionBlock firstSession = client->sessionBlock();
    EXPECT_EQ(firstSession.shopid(), shopId);
    EXPECT_EQ(firstSession.token1().size() + firstSession.token2().size(), 64u);
    EXPECT_NE(firstSession.token1(), firstSession.token2());

    // A new login ends the session before it.
    ASSERT_EQ(login(), 1);
    EXPECT_NE(client->sessionBlock().token1(), firstSession.token1());
    EXPECT_EQ(fetchInfo(), 1);
    client->setSessionBlock(firstSession);
    EXPECT_EQ(fetchInfo(), -1);
    EXPECT_TRUE(service.waitForLog("2/0 login, shop 42: returncode -2"));
}

TEST_F(NetsimAccount, ProductListFetchAndUpdate) {
    auto seeded = fetchProducts();
    ASSERT_TRUE(seeded);
    ASSERT_GE(seeded->size(), 12u);
    EXPECT_EQ(std::tuple(seeded->front().code, seeded->front().price), std::tuple(101, 0.25f));

    ASSERT_EQ(login(), 1);
    ProductList edited{{7, 0.29f, "Print 10x15 cm, lustre"}, {8, 129.5f, ""}};
    EXPECT_EQ(updateProducts(edited, 2), 1);
    EXPECT_EQ(productListText(fetchProducts().value_or(ProductList{})),
              "7 0.29 Print 10x15 cm, lustre; 8 129.5 ");

    // A count that does not match the entries is bad data; nothing changes.
    EXPECT_EQ(updateProducts({{9, 1.0f, "x"}}, 2), -3);
    EXPECT_EQ(updateProducts({{9, 1.0f, "x"}}, 0), -3);
    EXPECT_EQ(fetchProducts()->size(), 2u);
    EXPECT_EQ(updateProducts({}, 0), 1);
    EXPECT_TRUE(fetchProducts()->empty());

    // Unknown shops get an empty list rather than no answer.
    FramedPacket packet;
    ASSERT_EQ(client->rawPacket(buildProductListFetch("NOSUCHSHOP"), packet), 1);
    EXPECT_EQ(decodeProductListReply(bytesOf(packet.body())).value.size(), 0u);

    client->setSessionBlock(SessionBlock(shopId, "forged", "tokens"));
    EXPECT_EQ(updateProducts(edited, 2), -1);
}

TEST_F(NetsimAccount, ShopInformationUpdateAndFetch) {
    ASSERT_EQ(login(), 1);
    ShopInfo info;
    ASSERT_EQ(shopInfo(info), 1);
    EXPECT_EQ(info.email1, "shop@example.com");

    info.city = "Zwolle";
    info.payPal = "paypal@shop.example.com";
    info.paymentType = 2;
    info.hasLogo = 1;
    info.logo = ByteData(std::string_view("\xFF\xD8\xFF\xE0 not really a JPEG", 24));
    ShopInfoUpdateRequest update;
    update.sessionBlock() = client->sessionBlock();
    update.info = info;
    ShopInfoUpdateResponse reply;
    ASSERT_EQ(client->session(update, reply).fault, ReplyFault::None);
    EXPECT_EQ(reply.returncode, 1);
    EXPECT_EQ(reply.sessionBlock(), client->sessionBlock());

    ShopInfo fetched;
    ASSERT_EQ(shopInfo(fetched), 1);
    EXPECT_EQ(std::tie(fetched.city, fetched.payPal, fetched.paymentType, fetched.hasLogo),
              std::tuple("Zwolle", "paypal@shop.example.com", 2, 1));
    EXPECT_EQ(fetched.logo.view(), info.logo.view());

    // A logo flag without a logo is bad data.
    update.info.logo = ByteData();
    ASSERT_EQ(client->session(update, reply).fault, ReplyFault::None);
    EXPECT_EQ(reply.returncode, -3);
}

TEST_F(NetsimAccount, PasswordChangeAndLogout) {
    ASSERT_EQ(login(), 1);
    EXPECT_EQ(changePassword("guess", "newpass"), -2);
    EXPECT_EQ(changePassword(kPassword, "newpass"), 1);
    EXPECT_EQ(login(kPassword), -2);
    ASSERT_EQ(login("newpass"), 1);

    auto parsed =
        parseLogoutReply(bytesOf(client->raw(buildLogoutRequest(client->sessionBlock()))));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(std::tuple(parsed.value.tag, parsed.value.result), std::tuple(3u, 1));
    EXPECT_EQ(fetchInfo(), -1);
    parsed = parseLogoutReply(bytesOf(client->raw(buildLogoutRequest(client->sessionBlock()))));
    EXPECT_EQ(parsed.value.result, -1);
}

TEST_F(NetsimAccount, ShopSetupGivesTheNextNumberAndNeedsConfirmation) {
    ShopSetupRequest setup;
    setup.shopName = "Foto Lumen";
    setup.password = encryptCredential("lumen123");
    setup.email1 = "lumen@example.com";
    setup.phone1 = "+31 20 555 0101";
    setup.primaryContact = "R. Visser";
    setup.url = "https://lumen.example.com";
    ShopSetupResponse reply;
    ASSERT_EQ(client->plain(setup, reply).fault, ReplyFault::None);
    EXPECT_EQ(reply.result, 1);
    std::string newId = NetsimService::shopId(43).toStdString();
    EXPECT_NE(reply.message.find("Your SHOP ID is " + newId + "."), std::string::npos)
        << reply.message;
    EXPECT_TRUE(service.waitForLog(QString::fromStdString("SHOP ID " + newId)));

    LoginResponse early;
    client->login(newId, "lumen123", early);
    EXPECT_EQ(early.returncode, -2);

    auto confirm = [&](const std::string& email) {
        return parseConfirmationReply(
            bytesOf(client->raw(buildConfirmationRequest(confirmationText(newId, email)))));
    };
    auto wrong = confirm("other@example.com");
    ASSERT_TRUE(wrong.ok);
    EXPECT_EQ(wrong.value.tag, 1u);
    EXPECT_NE(wrong.value.result, 1);
    auto right = confirm("LUMEN@example.com");
    EXPECT_EQ(std::tuple(right.ok, right.value.result), std::tuple(true, 1));
    EXPECT_FALSE(right.value.message.empty());

    LoginResponse later;
    client->login(newId, "lumen123", later);
    EXPECT_EQ(later.returncode, 1);

    // Required fields missing: refused, and no number is used up.
    ShopSetupRequest empty;
    ASSERT_EQ(client->plain(empty, reply).fault, ReplyFault::None);
    EXPECT_NE(reply.result, 1);
    ASSERT_EQ(client->plain(setup, reply).fault, ReplyFault::None);
    EXPECT_NE(reply.message.find(NetsimService::shopId(44).toStdString()), std::string::npos);
}

TEST_F(NetsimAccount, StateSurvivesARestart) {
    ASSERT_EQ(login(), 1);
    ASSERT_EQ(changePassword(kPassword, "kept1234"), 1);
    ASSERT_EQ(updateProducts({{55, 4.5f, "Acrylic block 13x18"}}, 1), 1);
    service.stop();
    EXPECT_EQ(service.exitCode(), 0);

    QByteArray saved = testsupport::readFile(service.filePath("state.json"));
    EXPECT_TRUE(QJsonDocument::fromJson(saved).isObject());
    EXPECT_TRUE(saved.contains("Acrylic block 13x18"));

    // Started from the file alone: the shop, its password and its products.
    ASSERT_TRUE(service.start({"--state", service.filePath("state.json")}))
        << service.log().toStdString();
    client = std::make_unique<ShopClient>(service.servicePort(), service.chatPort());
    ASSERT_EQ(login("kept1234"), 1);
    EXPECT_EQ(productListText(fetchProducts().value_or(ProductList{})),
              "55 4.5 Acrylic block 13x18");
}

TEST_F(NetsimAccount, SessionsExpireAfterTheIdleTime) {
    ASSERT_TRUE(startService({"--token-idle", "1"})) << service.log().toStdString();
    ASSERT_EQ(login(), 1);
    EXPECT_EQ(fetchInfo(), 1);
    // The idle time has to pass without a request: no event to wait for.
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    EXPECT_EQ(fetchInfo(), -1);
}

TEST(NetsimServiceStart, BadStartsEndWithClearErrors) {
    NetsimService busy;
    ASSERT_TRUE(busy.start()) << busy.log().toStdString();
    auto run = testsupport::runNetsim(
        {"service", "--port", QString::number(busy.servicePort()), "--chat-port", "0"},
        std::chrono::seconds(20));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("cannot listen")) << run.err.toStdString();

    QTemporaryDir dir;
    testsupport::writeFile(dir.filePath("state.json"), "{ not json");
    run = testsupport::runNetsim({"service", "--port", "0", "--state", dir.filePath("state.json")},
                                 std::chrono::seconds(20));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("not valid JSON")) << run.err.toStdString();

    run = testsupport::runNetsim({"service", "--shop", "42-secret"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("NUMBER:PASSWORD:EMAIL")) << run.err.toStdString();
}
