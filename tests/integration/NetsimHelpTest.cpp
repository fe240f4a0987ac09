// quillon-netsim's command line: help for the program and each command,
// usage errors, starts that cannot work, and the credential helpers.
#include "protocol/Credentials.h"

#include "support/NetsimService.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::NetsimRun;
using testsupport::runNetsim;

TEST(NetsimHelp, TheProgramAndEveryCommandExplainThemselves) {
    NetsimRun top = runNetsim({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"service", "register", "status-query", "send-order", "mint-shop-id",
                                "shop-number", "encrypt"}) {
        EXPECT_TRUE(top.out.contains(QString("  ") + command)) << command;
        NetsimRun run = runNetsim({command, "--help"});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_TRUE(run.out.startsWith(QString("Usage: quillon-netsim ") + command))
            << run.out.toStdString();
    }
}

TEST(NetsimHelp, UsageErrorsAndBadStartsSayWhatIsWrong) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "Usage: quillon-netsim COMMAND"},
        {{"fly"}, "unknown command \"fly\""},
        {{"service", "--port", "70000"}, "--port must be a whole number from 0 to 65535"},
        {{"service", "--shop", "42-secret"}, "NUMBER:PASSWORD:EMAIL"},
        {{"service", "--port", "0", "--chat-port", "0", "--fault", "6/2:explode"}, "--fault"},
        {{"service", "--port", "0", "--chat-port", "0", "--fault", "6/2:delay=-5"}, "--fault"},
        {{"register", "--ref1", "A"}, "--shop-number is required"},
        {{"send-order", "--pictures", "x", "--generate", "2"}, "either --pictures DIR or"},
        {{"send-order", "--generate", "1", "--items", "101"}, "CODE:QTY"},
        {{"mint-shop-id", "1000000"}, "from 1 to 999999"},
        {{"shop-number", "O1000042"}, "give one SHOP ID"},
    };
    for (const auto& [args, message] : cases) {
        NetsimRun run = runNetsim(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message))
            << args.join(' ').toStdString() << ": " << run.err.toStdString();
    }

    // A taken port and a state file that is not JSON end the service with 3.
    testsupport::NetsimService busy;
    ASSERT_TRUE(busy.start()) << busy.log().toStdString();
    NetsimRun run =
        runNetsim({"service", "--port", QString::number(busy.servicePort()), "--chat-port", "0"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("cannot listen")) << run.err.toStdString();
    testsupport::writeFile(busy.filePath("bad.json"), "{ not json");
    run = runNetsim({"service", "--port", "0", "--state", busy.filePath("bad.json")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("not valid JSON")) << run.err.toStdString();
}

TEST(NetsimHelp, CredentialHelpersMatchTheShopsCipher) {
    NetsimRun minted = runNetsim({"mint-shop-id", "42"});
    ASSERT_EQ(minted.exitCode, 0);
    std::string id = minted.out.trimmed().toStdString();
    EXPECT_EQ(id, quillon::encryptCredential("O1000042"));
    NetsimRun number = runNetsim({"shop-number", QString::fromStdString(id)});
    EXPECT_EQ(number.out.trimmed(), "42");

    NetsimRun encrypted = runNetsim({"encrypt", "pa:ss wd"});
    ASSERT_EQ(encrypted.exitCode, 0);
    EXPECT_EQ(encrypted.out.trimmed().toStdString(), quillon::encryptCredential("pa:ss wd"));
}
