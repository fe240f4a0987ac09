// The application's start-up: the start-up information fetched by FTP from
// its accounts, and the registration steps of a shop not yet set up.
#include "core/Application.h"
#include "core/SettingsStore.h"
#include "core/StartupInfo.h"

#include "support/PythonServer.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

// Start-up steps with a profile file and scripted registration dialogs.
struct StartUp : RegistrationDialogs {
    QTemporaryDir dir;
    QString profile = dir.filePath("profile.ini");
    RecordingPrompter prompter;
    std::vector<std::string> opened;
    std::optional<SetupOutcome> setup;
    std::optional<ConfirmationOutcome> confirmation;

    StartUp() { qputenv("QUILLON_STARTUP_FTP", ""); }
    ~StartUp() override { qunsetenv("QUILLON_STARTUP_FTP"); }

    void store(const char* key, const QVariant& value) {
        QSettings(profile, QSettings::IniFormat).setValue(key, value);
    }
    QVariant stored(const char* key) { return QSettings(profile, QSettings::IniFormat).value(key); }
    // Without dialogs (headless) `exitCode` receives the application's.
    bool run(Settings* out = nullptr, int* exitCode = nullptr) {
        SettingsStore s(profile);
        Application app(s, prompter);
        bool ok = app.startUp(exitCode ? nullptr : this);
        if (out)
            *out = app.settings();
        if (exitCode)
            *exitCode = app.exitCode();
        return ok;
    }
    std::optional<SetupOutcome> runShopSetup(const std::string&, const std::string&) override {
        opened.push_back("setup");
        return setup;
    }
    std::optional<ConfirmationOutcome> runConfirmation(const std::string&,
                                                       const std::string&) override {
        opened.push_back("confirmation");
        return confirmation;
    }
};

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

TEST(Application, RegistrationStepsMoveTheStatusOn) {
    // First run, setup cancelled (a headless run refuses it, the headless
    // shop's test).
    StartUp s;
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.opened, std::vector<std::string>{"setup"});
    EXPECT_EQ(std::tuple(s.stored("status").toInt(), s.stored("email").isValid()),
              std::tuple(0, false));

    s.setup = RegistrationDialogs::SetupOutcome{1, "shop@example.com"}; // confirmation cancelled
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.opened, (std::vector<std::string>{"setup", "setup", "confirmation"}));
    EXPECT_EQ(std::tuple(s.stored("status").toInt(), s.stored("email").toString()),
              std::tuple(1, "shop@example.com"));

    // Waiting for confirmation: straight to it; another state is no confirmation.
    s.opened.clear();
    s.confirmation = RegistrationDialogs::ConfirmationOutcome{1, "ignored"};
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.stored("status").toInt(), 1);
    s.confirmation = RegistrationDialogs::ConfirmationOutcome{2, "ABCDEF"};
    Settings settings;
    EXPECT_TRUE(s.run(&settings));
    EXPECT_EQ(s.opened, (std::vector<std::string>{"confirmation", "confirmation"}));
    EXPECT_EQ(std::tuple(s.stored("status").toInt(), settings.shopid), std::tuple(2, "ABCDEF"));
}

TEST_F(StartupInfoTest, HostIsTheTextBeforeTheLastSemicolon) {
    const std::tuple<QByteArray, int, std::string> cases[] = {
        {"central.example;1", 1, "central.example"},
        {"A;B;C", 1, "A;B"},
        {"central.example", 0, "localhost"}, // no ";": no host named
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

// The application tries the accounts that the environment names.
TEST_F(StartupInfoTest, TheApplicationTakesTheHostFromTheEnvironmentsAccounts) {
    publish("central.example;B;C");
    StartUp s;
    s.store("status", 2);
    qputenv("QUILLON_STARTUP_FTP",
            QString("%1,x,y;%2,%3,%4")
                .arg(QString::fromStdString(down().host), m_server.address(), kAccount, kPassword)
                .toLatin1());
    Settings settings;
    ASSERT_TRUE(s.run(&settings));
    // That a host in the profile wins is the settings store's test.
    EXPECT_EQ(settings.hostaddress, "central.example;B");
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
        EXPECT_FALSE(parseFtpAccounts(text, a) || !a.empty()) << text;
    }
}

// A working value from the environment is the application's start-up test;
// a malformed one means no check, not a fall back to the built-in accounts.
TEST(StartupAccounts, AMalformedEnvironmentValueMeansNoCheck) {
    setenv("QUILLON_STARTUP_FTP", "127.0.0.1:2121,tester", 1);
    EXPECT_TRUE(startupAccounts().empty());
    unsetenv("QUILLON_STARTUP_FTP");
}
