#include "core/StartupInfo.h"

#include "support/FtpTestServer.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace quillon;
using namespace testsupport;

namespace {

const char* const kAccount = "velorinshop";
const char* const kPassword = "changeme123";

class StartupInfoTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.isRunning()); }

    void publish(const QByteArray& text) {
        ASSERT_TRUE(writeFile(m_dir.filePath(kStartupInfoFile), text));
    }
    FtpAccount working() const { return {m_server.address().toStdString(), kAccount, kPassword}; }
    static FtpAccount down() {
        return {"127.0.0.1:" + std::to_string(closedLocalPort()), kAccount, kPassword};
    }

    QTemporaryDir m_dir;
    FtpTestServer m_server{m_dir.path(), kAccount, kPassword};
};

} // namespace

TEST_F(StartupInfoTest, HostIsTheTextBeforeTheLastSemicolon) {
    const std::tuple<QByteArray, int, std::string> cases[] = {
        {"central.example;1", 1, "central.example"},
        {"A;B;C", 1, "A;B"},
        {"central.example \r\n;x", 1, "central.example \r\n"},
        {"central.example", 0, "localhost"}, // no ";": no host named
        {";1", 0, "localhost"},
        {"", 0, "localhost"},
    };
    for (const auto& [text, result, host] : cases) {
        SCOPED_TRACE(text.toStdString());
        publish(text);
        std::string defaultHost = "localhost";
        EXPECT_EQ(checkForUpdate({working()}, defaultHost), result);
        EXPECT_EQ(defaultHost, host);
    }
}

TEST_F(StartupInfoTest, AccountsAreTriedInOrder) {
    publish("second.example;1");
    FtpTestServer refusing(m_dir.path(), kAccount, kPassword, true);
    ASSERT_TRUE(refusing.isRunning());
    FtpAccount refused{refusing.address().toStdString(), kAccount, kPassword};
    QTemporaryDir empty;
    FtpTestServer without(empty.path(), kAccount, kPassword);
    ASSERT_TRUE(without.isRunning());
    FtpAccount noFile{without.address().toStdString(), kAccount, kPassword};

    const std::pair<std::vector<FtpAccount>, std::string> cases[] = {
        {{refused, working()}, "second.example"},
        {{down(), working()}, "second.example"},
        {{down(), refused}, "localhost"},
        {{}, "localhost"},
        // The first account that logs in decides: its missing file ends it.
        {{noFile, working()}, "localhost"},
    };
    for (const auto& [accounts, expected] : cases) {
        std::string host = "localhost";
        EXPECT_EQ(checkForUpdate(accounts, host), expected == "localhost" ? 0 : 1);
        EXPECT_EQ(host, expected);
    }
}

TEST(StartupAccounts, ParsesOneOrTwoAccountsAndRefusesMalformedValuesWhole) {
    std::vector<FtpAccount> a;
    ASSERT_TRUE(
        parseFtpAccounts("ftp1.test,shop@velorin.test,pa ss;[::1]:2121,velorinshop,p,w", a));
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].host, "ftp1.test");
    EXPECT_EQ(a[0].account, "shop@velorin.test");
    EXPECT_EQ(a[0].password, "pa ss");
    EXPECT_EQ(a[1].host, "[::1]:2121");
    EXPECT_EQ(a[1].password, "p,w");

    for (const char* text : {"", "host,account", ",a,p", "h,,p", "h:,a,p", "h:abc,a,p",
                             "h:70000,a,p", ":21,a,p", "h st,a,p", "h/x,a,p", "[::1,a,p", "h,a b,p",
                             "h,a,p\r\n", "h,a,p;", "h,a,p;h,a,p;h,a,p"}) {
        a = {{"x", "y", "z"}};
        EXPECT_FALSE(parseFtpAccounts(text, a)) << text;
        EXPECT_TRUE(a.empty());
    }
}

TEST(StartupAccounts, EnvironmentOverridesTheBuiltInAccounts) {
    setenv("QUILLON_STARTUP_FTP", "127.0.0.1:2121,tester,secret;localhost,other,pw", 1);
    auto a = startupAccounts();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].host, "127.0.0.1:2121");
    EXPECT_EQ(a[1].account, "other");
    setenv("QUILLON_STARTUP_FTP", "127.0.0.1:2121,tester", 1);
    EXPECT_TRUE(startupAccounts().empty());

    unsetenv("QUILLON_STARTUP_FTP");
    a = startupAccounts();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_NE(a[0].account.find('@'), std::string::npos); // the first is an e-mail form
    EXPECT_EQ(a[0].password, a[1].password);
}
