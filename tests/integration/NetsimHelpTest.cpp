// quillon-netsim's command line: the help names every command, and a bad
// option is a usage error. What each command does is the other tests'.
#include "support/NetsimService.h"

#include <gtest/gtest.h>

using testsupport::NetsimRun;
using testsupport::runNetsim;

TEST(NetsimHelp, NamesEveryCommandAndRefusesABadOption) {
    NetsimRun top = runNetsim({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"service", "register", "status-query", "send-order", "mint-shop-id",
                                "shop-number", "encrypt"})
        EXPECT_TRUE(top.out.contains(QString("  ") + command)) << command;
    NetsimRun bad = runNetsim({"service", "--port", "70000"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("--port must be a whole number from 0 to 65535"))
        << bad.err.toStdString();
}
