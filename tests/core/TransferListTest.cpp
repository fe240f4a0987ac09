#include "core/TransferList.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(TransferList, ReceptionsKeepTheirRowsAcrossARebuild) {
    TransferList list;
    uint16_t a = list.addReception();
    uint16_t b = list.addReception();
    ASSERT_NE(a, b);
    list.setReceptionProgress(b, 40);
    ASSERT_NE(list.receptionRow(a), nullptr);
    list.receptionRow(a)->orderNumber = "A1";
    list.removeReception(a); // completed: the row stays, the map entry goes
    EXPECT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.receptionRow(a), nullptr);

    CompletedTransfer done{"A1", "ann@example.com", 12.5f, 0, 1, "Paid - PayPal"};
    CompletedTransfer sandbox{"A2", "bob@example.com", 3.0f, 0, 2, "ignored"};
    list.rebuild({done, sandbox});
    ASSERT_EQ(list.rows().size(), 3u); // completed first, then receiving
    EXPECT_EQ(list.rows()[0].orderNumber, "A1");
    EXPECT_EQ(list.rows()[0].total, "12.50");
    EXPECT_EQ(list.rows()[0].paymentStatus, "Paid - PayPal");
    EXPECT_EQ(list.rows()[1].paymentStatus, "Sandbox");
    EXPECT_EQ(list.rows()[2].orderNumber, "Receiving...");
    EXPECT_EQ(list.rows()[2].progress, 40);
    EXPECT_EQ(list.receptionRow(b), &list.rows()[2]);
}

TEST(TransferList, KeysAreNotReusedWhileInUse) {
    TransferList list;
    uint16_t first = list.addReception();
    for (int i = 0; i < 70000; ++i) {
        uint16_t k = list.addReception();
        ASSERT_NE(k, first);
        list.removeReception(k);
    }
}

TEST(TransferList, PaymentStatusText) {
    EXPECT_EQ(paymentStatusText(1, "A", "B"), "A - B");
    EXPECT_EQ(paymentStatusText(2, "A", "B"), "Sandbox");
    EXPECT_EQ(paymentStatusText(0, "A", "B"), "Outstanding");
    EXPECT_EQ(paymentStatusText(-7, "", ""), "Outstanding");
}
