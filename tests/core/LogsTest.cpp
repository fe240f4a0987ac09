#include "core/Logs.h"
#include "core/WorkingFolders.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm t{};
    std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec) =
        std::tuple(year - 1900, month - 1, day, hour, minute, second);
    return t;
}

void touch(const QString& path) {
    ASSERT_TRUE(testsupport::writeFile(path, "x"));
}

} // namespace

TEST(Logs, NextFileNameTakesTheFirstFreeNumber) {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString();
    EXPECT_EQ(nextLogFileName(folder, "SYSLOG", "TXT"), folder + "/SYSLOG000000.TXT");
    // Another kind and a name of five digits do not count.
    for (const char* name : {"SYSLOG000000.TXT", "SYSLOG000001.TXT", "SYSLOG000007.TXT",
                             "ORDERLOG000002.XML", "SYSLOG00002.TXT"})
        touch(dir.filePath(name));
    EXPECT_EQ(nextLogFileName(folder, "SYSLOG", "TXT"), folder + "/SYSLOG000002.TXT");
    // A deleted number is used again even when higher ones exist.
    for (const char* name : {"SYSLOG000002.TXT", "SYSLOG000003.TXT"})
        touch(dir.filePath(name));
    QFile::remove(dir.filePath("SYSLOG000001.TXT"));
    EXPECT_EQ(nextLogFileName(folder, "SYSLOG", "TXT"), folder + "/SYSLOG000001.TXT");
}

TEST(Logs, SystemLogLinesEndWithCrLf) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(kSystemLogFolder));
    const QDir logs(dir.filePath(kSystemLogFolder));
    touch(logs.filePath("SYSLOG000000.TXT"));
    touch(logs.filePath("SYSLOG000001.TXT"));
    EXPECT_TRUE(writeSystemLog(dir.path().toStdString(), {"a  one", "b  two"}));
    EXPECT_EQ(testsupport::readFile(logs.filePath("SYSLOG000002.TXT")),
              QByteArray("a  one\r\nb  two\r\n"));
    // No SystemLog folder: nothing written, nothing thrown.
    QTemporaryDir bare;
    EXPECT_FALSE(writeSystemLog(bare.path().toStdString(), {"x"}));
    // A full disk: the failure is reported and no part of a log is left.
    {
        testsupport::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeSystemLog(dir.path().toStdString(), {"a  one", "b  two"}));
    }
    EXPECT_EQ(logs.entryList(QDir::Files).size(), 3);
}

TEST(Logs, MidnightPurgeRunsOnceInTheFirstMinute) {
    MidnightPurgeTrigger trigger;
    int runs = 0;
    for (int second = 2; second <= 57; second += 5)
        runs += trigger.tick(at(2026, 12, 7, 0, 0, second), 1);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(trigger.tick(at(2026, 12, 7, 0, 1, 2), 1)); // clears the mark
    EXPECT_TRUE(trigger.tick(at(2026, 12, 8, 0, 0, 2), 1));
    EXPECT_FALSE(trigger.tick(at(2026, 12, 8, 0, 0, 7), 1));

    // Purging switched off for a while: neither runs nor clears the mark.
    trigger = MidnightPurgeTrigger();
    EXPECT_TRUE(trigger.tick(at(2026, 12, 7, 0, 0, 2), 1));
    EXPECT_FALSE(trigger.tick(at(2026, 12, 7, 0, 0, 30), 0));
    EXPECT_FALSE(trigger.tick(at(2026, 12, 7, 0, 1, 0), 0));
    EXPECT_FALSE(trigger.tick(at(2026, 12, 7, 0, 0, 40), 1));
    EXPECT_FALSE(trigger.tick(at(2026, 12, 7, 3, 0, 0), 2));
    EXPECT_TRUE(trigger.tick(at(2026, 12, 8, 0, 0, 0), 2));
}
