#include "core/StartupInfo.h"

#include "support/FtpTestServer.h"
#include "support/PythonServer.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace quillon;
using namespace testsupport;

namespace {

const char* const kFirstAccount = "shop@velorin.test";
const char* const kSecondAccount = "velorinshop";
const char* const kPassword = "changeme123";

class StartupInfoTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_server = std::make_unique<FtpTestServer>(m_dir.path(), kSecondAccount, kPassword);
        ASSERT_TRUE(m_server->isRunning()) << m_server->errorOutput().toStdString();
    }

    void publish(const QByteArray& text) {
        ASSERT_TRUE(writeFile(m_dir.filePath(kStartupInfoFile), text));
    }

    FtpAccount working() const {
        return {m_server->address().toStdString(), kSecondAccount, kPassword};
    }
    static FtpAccount down() {
        return {"127.0.0.1:" + std::to_string(closedLocalPort()), kFirstAccount, kPassword};
    }

    QTemporaryDir m_dir;
    std::unique_ptr<FtpTestServer> m_server;
};

struct ScopedEnv {
    explicit ScopedEnv(const char* value) {
        if (value)
            setenv("QUILLON_STARTUP_FTP", value, 1);
        else
            unsetenv("QUILLON_STARTUP_FTP");
    }
    ~ScopedEnv() { unsetenv("QUILLON_STARTUP_FTP"); }
};

} // namespace

TEST_F(StartupInfoTest, HostIsTheTextBeforeTheLastSemicolon) {
    const std::pair<QByteArray, std::string> cases[] = {
        {"central.example;1", "central.example"},
        {"A;B;C", "A;B"},
        {"central.example \r\n;x", "central.example \r\n"},
        {"central.example;", "central.example"},
    };
    for (const auto& [text, host] : cases) {
        SCOPED_TRACE(text.toStdString());
        publish(text);
        std::string defaultHost = "localhost";
        EXPECT_EQ(checkForUpdate({working()}, defaultHost), 1);
        EXPECT_EQ(defaultHost, host);
    }
}

TEST_F(StartupInfoTest, TextsNamingNoHostKeepTheDefault) {
    for (const QByteArray& text : {QByteArray("central.example"), QByteArray(";1"), QByteArray()}) {
        SCOPED_TRACE(text.toStdString());
        publish(text);
        std::string defaultHost = "localhost";
        EXPECT_EQ(checkForUpdate({working()}, defaultHost), 0);
        EXPECT_EQ(defaultHost, "localhost");
    }
}

TEST_F(StartupInfoTest, AccountsAreTriedInOrder) {
    publish("second.example;1");
    FtpTestServer refusing(m_dir.path(), kFirstAccount, kPassword, true);
    ASSERT_TRUE(refusing.isRunning()) << refusing.errorOutput().toStdString();
    FtpAccount refused{refusing.address().toStdString(), kFirstAccount, kPassword};

    std::string host = "localhost";
    EXPECT_EQ(checkForUpdate({refused, working()}, host), 1);
    EXPECT_EQ(host, "second.example");
    host = "localhost";
    EXPECT_EQ(checkForUpdate({down(), working()}, host), 1);
    EXPECT_EQ(host, "second.example");

    host = "localhost";
    EXPECT_EQ(checkForUpdate({down(), refused}, host), 0);
    EXPECT_EQ(host, "localhost");
    EXPECT_EQ(checkForUpdate({}, host), 0);
    EXPECT_EQ(host, "localhost");

    // The first account that logs in decides: its missing file ends the check.
    QTemporaryDir empty;
    FtpTestServer without(empty.path(), kFirstAccount, kPassword);
    ASSERT_TRUE(without.isRunning()) << without.errorOutput().toStdString();
    EXPECT_EQ(checkForUpdate(
                  {{without.address().toStdString(), kFirstAccount, kPassword}, working()}, host),
              0);
    EXPECT_EQ(host, "localhost");
}

TEST(StartupAccounts, ParsesOneOrTwoAccounts) {
    std::vector<FtpAccount> a;
    ASSERT_TRUE(parseFtpAccounts("ftp1.example.test,shop@velorin.test,pa ss;"
                                 "ftp2.example.test:2121,velorinshop,p,w",
                                 a));
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].host, "ftp1.example.test");
    EXPECT_EQ(a[0].account, "shop@velorin.test");
    EXPECT_EQ(a[0].password, "pa ss");
    EXPECT_EQ(a[1].host, "ftp2.example.test:2121");
    EXPECT_EQ(a[1].password, "p,w");

    ASSERT_TRUE(parseFtpAccounts("[::1]:21,a,", a));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].password, "");
}

TEST(StartupAccounts, RefusesMalformedValuesWhole) {
    for (const char* text : {"",
                             "host",
                             "host,account",
                             ",account,pw",
                             "host,,pw",
                             "host:,a,p",
                             "host:abc,a,p",
                             "host:0,a,p",
                             "host:70000,a,p",
                             ":21,a,p",
                             "ho st,a,p",
                             "host/x,a,p",
                             "[::1,a,p",
                             "[::1]x,a,p",
                             "host,acc ount,p",
                             "host,a,p\r\n",
                             "h,a,p;",
                             ";h,a,p",
                             "h,a,p;;h,a,p",
                             "h,a,p;h,a,p;h,a,p",
                             "h,a,p;broken"}) {
        SCOPED_TRACE(text);
        std::vector<FtpAccount> a{{"x", "y", "z"}};
        EXPECT_FALSE(parseFtpAccounts(text, a));
        EXPECT_TRUE(a.empty());
    }
}

TEST(StartupAccounts, EnvironmentOverridesTheBuiltInAccounts) {
    {
        ScopedEnv env("127.0.0.1:2121,tester,secret;localhost,other,pw");
        auto a = startupAccounts();
        ASSERT_EQ(a.size(), 2u);
        EXPECT_EQ(a[0].host, "127.0.0.1:2121");
        EXPECT_EQ(a[0].account, "tester");
        EXPECT_EQ(a[1].account, "other");
    }
    {
        ScopedEnv env("127.0.0.1:2121,tester");
        EXPECT_TRUE(startupAccounts().empty());
    }
    {
        ScopedEnv env("");
        EXPECT_TRUE(startupAccounts().empty());
    }
    ScopedEnv env(nullptr);
    auto builtIn = startupAccounts();
    ASSERT_EQ(builtIn.size(), 2u);
    EXPECT_NE(builtIn[0].host, builtIn[1].host);
    EXPECT_NE(builtIn[0].account.find('@'), std::string::npos);
    EXPECT_EQ(builtIn[1].account.find('@'), std::string::npos);
}
