#include "orders/OrderNumbering.h"
#include "orders/Settings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

TEST(OrderNumbering, PadsTheCounterButNeverCutsIt) {
    EXPECT_EQ(formatOrderNumber("WEB-", 42, "", 6), "WEB-000042");
    EXPECT_EQ(formatOrderNumber("A", 17, "B", 4), "A0017B");
    EXPECT_EQ(formatOrderNumber("", 12345, "", 3), "12345");
    EXPECT_EQ(formatOrderNumber("", 7, "", 0), "7");
    // Unsigned: a counter past 2^31 stays positive.
    EXPECT_EQ(formatOrderNumber("", 3000000000u, "", 6), "3000000000");
    EXPECT_EQ(orderFolder("/srv/Orders", "A0017B"), "/srv/Orders/A0017B");
}

TEST(OrderNumbering, CounterWrapsAfterTheLastNumber) {
    Settings s;
    s.rootordernumber = 1;
    s.wraparound = 999999;
    s.currentnumber = 999998;
    EXPECT_FALSE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 999999u); // the last number is still given
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 1u);

    // A first number above the last one: every order gets the first number.
    s.rootordernumber = 500;
    s.wraparound = 100;
    s.currentnumber = 500;
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 500u);
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 500u);

    s.rootordernumber = 1;
    s.wraparound = 0xFFFFFFFFu;
    s.currentnumber = 0xFFFFFFFFu;
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 1u);
}

TEST(OrderNumbering, WriteTestWritesExactlyTwentyBytes) {
    QTemporaryDir dir;
    EXPECT_EQ(writeTestFile(dir.path().toStdString()), 1);
    EXPECT_EQ(testsupport::readFile(dir.filePath("TESTFILE.TXT")),
              QByteArray("This is a test file."));
    EXPECT_EQ(writeTestFile(""), 0);
    EXPECT_EQ(writeTestFile(dir.filePath("missing").toStdString()), 0);
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
}
