// `quillon` with its window as a process: without a display it says so and
// suggests --headless; with one it shows the window and shuts down in order.
#include "support/PythonServer.h"
#include "support/TestSupport.h"
#include "ui/DisplayCheck.h"

#include <QProcess>
#include <QSettings>
#include <csignal>
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
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("quillon --headless")) << err.toStdString();
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
        EXPECT_EQ(quillon.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(message)) << err.toStdString();
        EXPECT_TRUE(quillon.readAllStandardOutput().isEmpty());
    }
}

TEST(StartUp, ShowsTheWindowAndShutsDownInOrder) {
    ShopFolder folder;
    const QString profile = folder.filePath("profile.ini");
    {
        QSettings p(profile, QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", folder.filePath("Orders"));
    }
    QProcess quillon;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLON_STARTUP_FTP", "");
    quillon.setProcessEnvironment(env);
    quillon.setWorkingDirectory(folder.path());
    quillon.start(QUILLON_BIN,
                  {"--profile", profile, "--service-port", QString::number(closedLocalPort()),
                   "--report-shown", "--no-splash"});
    ASSERT_TRUE(waitUntil(
        [&] {
            quillon.waitForReadyRead(20);
            return quillon.peek(4096).contains("Main window shown.");
        },
        std::chrono::seconds(30)));
    ::kill(pid_t(quillon.processId()), SIGTERM);
    ASSERT_TRUE(quillon.waitForFinished(10000));
    EXPECT_EQ(quillon.exitCode(), 0);
    EXPECT_TRUE(
        readFile(folder.filePath("SystemLog/SYSLOG000000.TXT")).endsWith("System shutdown.\r\n"));
    EXPECT_EQ(folder.files("OrderLog"), QStringList{"ORDERLOG000000.XML"});
}
