#include "core/Application.h"
#include "core/SettingsStore.h"
#include "support/PythonServer.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
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

} // namespace

TEST(Application, RegistrationStepsMoveTheStatusOn) {
    StartUp s; // headless, the shop not set up: refused
    int exitCode = 0;
    EXPECT_FALSE(s.run(nullptr, &exitCode));
    EXPECT_EQ(exitCode, 2);
    ASSERT_EQ(s.prompter.messages().size(), 1u);
    EXPECT_NE(s.prompter.messages()[0].find("not set up"), std::string::npos);

    // First run, setup cancelled.
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.opened, std::vector<std::string>{"setup"});
    EXPECT_EQ(s.stored("status").toInt(), 0);
    EXPECT_FALSE(s.stored("email").isValid());

    s.setup = RegistrationDialogs::SetupOutcome{1, "shop@example.com"}; // confirmation cancelled
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.opened, (std::vector<std::string>{"setup", "setup", "confirmation"}));
    EXPECT_EQ(s.stored("status").toInt(), 1);
    EXPECT_EQ(s.stored("email").toString(), "shop@example.com");

    // Waiting for confirmation: straight to it; another state is no confirmation.
    s.opened.clear();
    s.confirmation = RegistrationDialogs::ConfirmationOutcome{1, "ignored"};
    EXPECT_FALSE(s.run());
    EXPECT_EQ(s.stored("status").toInt(), 1);
    s.confirmation = RegistrationDialogs::ConfirmationOutcome{2, "ABCDEF"};
    Settings settings;
    EXPECT_TRUE(s.run(&settings));
    EXPECT_EQ(s.opened, (std::vector<std::string>{"confirmation", "confirmation"}));
    EXPECT_EQ(s.stored("status").toInt(), 2);
    EXPECT_EQ(settings.shopid, "ABCDEF");
}

TEST(Application, TheEnvironmentsStartUpAccountsNameTheHost) {
    QTemporaryDir files;
    ASSERT_TRUE(writeFile(files.filePath("initinfo.txt"), "central.example;B;C"));
    FtpTestServer ftp(files.path(), "shop", "pw");
    ASSERT_TRUE(ftp.isRunning()) << ftp.errorOutput().toStdString();
    int closed = closedLocalPort();

    StartUp s;
    s.store("status", 2);
    qputenv("QUILLON_STARTUP_FTP",
            QString("127.0.0.1:%1,x,y;%2,shop,pw").arg(closed).arg(ftp.address()).toLatin1());
    Settings settings;
    ASSERT_TRUE(s.run(&settings));
    // Cut at the last ";"; that a host in the profile wins is the store's test.
    EXPECT_EQ(settings.hostaddress, "central.example;B");
}
