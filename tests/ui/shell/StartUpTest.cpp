// `quillon` as a process before anything starts: without a display it says so
// and suggests --headless; a bad number on its command line is refused. The
// windowed shop's run and shutdown are the windowed shop's test.
#include "support/TestSupport.h"
#include "support/shop/ShopFolder.h"
#include "ui/shell/DisplayCheck.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(StartUp, WithoutADisplayQuillonSaysSoInOneLineAndFails) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    EXPECT_FALSE(missingDisplay(env).isEmpty());
    env.insert("DISPLAY", ":9387");
    EXPECT_TRUE(missingDisplay(env).contains(":9387"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    EXPECT_TRUE(missingDisplay(env).isEmpty());

    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    QProcess quillon;
    quillon.setProcessEnvironment(env);
    quillon.start(QUILLON_BIN, {});
    ASSERT_TRUE(quillon.waitForFinished(10000));
    EXPECT_NE(quillon.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(quillon.readAllStandardError());
    EXPECT_TRUE(err.count('\n') == 1 && err.contains("quillon --headless")) << err.toStdString();
    EXPECT_TRUE(quillon.readAllStandardOutput().isEmpty());
}

// A bad number is a usage error, with or without a window, before anything
// starts; the default port would put the shop where no one expects it.
TEST(StartUp, ABadNumberOnTheCommandLineIsRefusedWithStatus2) {
    ShopFolder folder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const std::pair<QStringList, const char*> cases[] = {
        {{"--headless", "--server1-port", "55x"}, "--server1-port must be a whole number"},
        {{"--headless", "--server2-port", "70000"}, "--server2-port must be a whole number"},
        {{"--service-port", "0"}, "--service-port must be a whole number from 1 to 65535"},
    };
    for (const auto& [args, message] : cases) {
        QProcess quillon;
        quillon.setProcessEnvironment(env);
        quillon.setWorkingDirectory(folder.path());
        quillon.start(QUILLON_BIN, args + QStringList{"--profile", folder.filePath("profile.ini")});
        ASSERT_TRUE(quillon.waitForFinished(10000)) << args.join(' ').toStdString();
        const QString err = QString::fromLocal8Bit(quillon.readAllStandardError());
        EXPECT_TRUE(quillon.exitCode() == 2 && err.contains(message) &&
                    quillon.readAllStandardOutput().isEmpty())
            << args.join(' ').toStdString() << ": " << err.toStdString();
    }
}
