// Sending is the shop's statuses test, through a real SMTP server; here the
// placeholders, which that test cannot make hold one another.
#include "status/ReadyMail.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(ReadyMail, PlaceholdersAreFilledInOnePass) {
    const ReadyMailFields fields{"WEB-%SHOP%", "Foto Lind", 3, 12.5f};
    EXPECT_EQ(expandReadyPlaceholders("%ORDER%: %ITEMS% items, %AMOUNT% at %SHOP%. %ITEMS", fields),
              "WEB-%SHOP%: 3 items, 12.50 at Foto Lind. %ITEMS");
}
