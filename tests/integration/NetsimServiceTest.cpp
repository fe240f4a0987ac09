// What the simulated central service keeps on its own: its state file across
// a restart. Its answers to each request and its fault rules are the shop's
// request tests'.
#include "protocol/CentralService.h"
#include "protocol/Credentials.h"
#include "protocol/SessionRequests.h"

#include "support/NetsimService.h"
#include "support/ProductListText.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

const std::string kShopId = encryptCredential("O1000042"); // shop 42

ServiceEndpoint endpointOf(const NetsimService& service) {
    return {"127.0.0.1", service.servicePort()};
}

} // namespace

TEST(NetsimService, StateSurvivesARestart) {
    NetsimService service;
    const QString state = service.filePath("state.json");
    ASSERT_TRUE(service.start({"--state", state, "--shop", "42:secret:shop@example.com"}))
        << service.log().toStdString();
    RecordingPrompter prompter;
    const SessionBlock session = login(endpointOf(service), prompter, kShopId, "secret").session;
    ASSERT_EQ(changePassword(endpointOf(service), prompter, session, "secret", "kept1234"), 1);
    ASSERT_EQ(updateProductList(endpointOf(service), prompter, session,
                                {{55, 4.5f, "Acrylic block 13x18"}}),
              1);
    service.stop();
    EXPECT_EQ(service.exitCode(), 0);
    const QByteArray saved = readFile(state);
    EXPECT_TRUE(QJsonDocument::fromJson(saved).isObject());
    EXPECT_TRUE(saved.contains("Acrylic block 13x18"));

    // Started from the file alone: the shop, its password and its products.
    ASSERT_TRUE(service.start({"--state", state})) << service.log().toStdString();
    EXPECT_TRUE(login(endpointOf(service), prompter, kShopId, "kept1234").loggedIn);
    EXPECT_EQ(productListText(
                  fetchProductList(endpointOf(service), prompter, kShopId).value_or(ProductList{})),
              "55 4.5 Acrylic block 13x18");
}
