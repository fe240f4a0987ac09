// What the simulated central service keeps on its own: its state file across
// a restart, and the fault rules the other tests arm. Its answers to each
// request are the shop's request tests'.
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

TEST(NetsimService, FaultRulesArmOnChangeCountDownAndMatchTheirOrder) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--faults",
                               service.faultsFile(), "--fault", "6/2:returncode=-3:2"}))
        << service.log().toStdString();
    RecordingPrompter prompter;
    const ServiceEndpoint at = endpointOf(service);
    const SessionBlock session = login(at, prompter, kShopId, "secret").session;
    auto info = [&] { return fetchShopInformation(at, prompter, session).returncode; };
    // A rule from the command line counts down.
    EXPECT_EQ(checkOrder(at, prompter, "A", "B").result, -3);
    EXPECT_EQ(checkOrder(at, prompter, "A", "B").result, -3);
    EXPECT_EQ(checkOrder(at, prompter, "A", "B").result, 1);

    const QByteArray once = R"([{"kind": "4/1", "action": "returncode", "value": -2}])";
    ASSERT_TRUE(service.writeFaults(once));
    EXPECT_EQ(info(), -2);
    // The same content again does not arm the rule again; a changed file does.
    ASSERT_TRUE(service.writeFaults(once));
    EXPECT_EQ(info(), 1);
    ASSERT_TRUE(
        service.writeFaults(R"([{"kind": "*", "action": "returncode", "value": -2, "count": 2}])"));
    EXPECT_EQ(info(), -2);
    EXPECT_EQ(info(), -2);
    EXPECT_EQ(info(), 1);

    // A rule for one order leaves the others alone, as often as it is asked.
    ASSERT_TRUE(service.writeFaults(R"([{"kind": "6/2", "action": "refuse", "value": -4,
                                        "reference": "R-9", "count": 0}])"));
    EXPECT_EQ(checkOrder(at, prompter, "R-9", "W").result, -4);
    EXPECT_EQ(checkOrder(at, prompter, "R-8", "W").result, 1);
    EXPECT_EQ(checkOrder(at, prompter, "X", "R-9").result, -4);

    // A file it cannot use is ignored whole, and says so.
    ASSERT_TRUE(service.writeFaults("[{\"kind\": \"9/9\", \"action\": \"short\"}]"));
    EXPECT_EQ(info(), 1);
    EXPECT_TRUE(service.waitForLog("control file ignored: rule 1: unknown kind \"9/9\""));
    ASSERT_TRUE(service.writeFaults("[{\"kind\": "));
    EXPECT_EQ(checkOrder(at, prompter, "R-9", "W").result, 1);
}
