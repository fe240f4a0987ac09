#include "core/StartupInfo.h"

#include "support/PythonServer.h"
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
    EXPECT_EQ(std::tie(a[0].host, a[0].account, a[0].password),
              std::tuple("ftp1.test", "shop@velorin.test", "pa ss"));
    EXPECT_EQ(std::tie(a[1].host, a[1].password), std::tuple("[::1]:2121", "p,w"));

    for (const char* text : {"", "host,account", ",a,p", "h,,p", "h:,a,p", "h:abc,a,p",
                             "h:70000,a,p", ":21,a,p", "h st,a,p", "h/x,a,p", "[::1,a,p", "h,a b,p",
                             "h,a,p\r\n", "h,a,p;", "h,a,p;h,a,p;h,a,p"}) {
        a = {{"x", "y", "z"}};
        EXPECT_FALSE(parseFtpAccounts(text, a)) << text;
        EXPECT_TRUE(a.empty());
    }
}

// A working value from the environment is the application's start-up test;
// a malformed one means no check, not a fall back to the built-in accounts.
TEST(StartupAccounts, AMalformedEnvironmentValueMeansNoCheck) {
    setenv("QUILLON_STARTUP_FTP", "127.0.0.1:2121,tester", 1);
    EXPECT_TRUE(startupAccounts().empty());
    unsetenv("QUILLON_STARTUP_FTP");
}
