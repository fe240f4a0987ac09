#include "core/TransferList.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Every change the list reports, in order: "insert 0-0", "change 1", "reset".
struct Changes {
    std::vector<std::string> seen;
    explicit Changes(TransferList& list) {
        QObject::connect(&list, &TransferList::rowsInserted, [this](int a, int b) {
            seen.push_back("insert " + std::to_string(a) + "-" + std::to_string(b));
        });
        QObject::connect(&list, &TransferList::rowChanged,
                         [this](int r) { seen.push_back("change " + std::to_string(r)); });
        QObject::connect(&list, &TransferList::rowsReset, [this] { seen.push_back("reset"); });
    }
};

} // namespace

TEST(TransferList, ReportsEachChangeAndRebuildsCompletedBeforeReceiving) {
    TransferList list;
    Changes changes(list);
    const uint16_t a = list.addReception();
    const uint16_t b = list.addReception();
    const uint16_t c = list.addReception();
    list.setProgress(b, 1, 3, "B1", 0);
    EXPECT_EQ(list.row(1).progress, 33);
    list.setProgress(a, 2, 2, "A1", 0); // the last file: the bar gives way to the text
    EXPECT_EQ(std::tuple(list.row(0).progress, list.row(0).transferStatus.substr(0, 15)),
              std::tuple(-1, "Order received "));
    list.setCompleted(a, {"A1", "ann@example.com", 12.5f, 0, 1, "Paid - PayPal"}, 0);
    list.setAborted(c, "C1", "cy@example.com");
    EXPECT_EQ(std::tie(list.row(2).total, list.row(2).transferStatus, list.row(2).aborted),
              std::tuple("N/A", "Aborted", true));
    EXPECT_EQ(changes.seen,
              (std::vector<std::string>{"insert 0-0", "insert 1-1", "insert 2-2", "change 1",
                                        "change 0", "change 0", "change 2"}));

    list.rebuild(); // the aborted row goes; b is still receiving
    EXPECT_EQ(changes.seen.back(), "reset");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(std::tie(list.row(0).orderNumber, list.row(0).total, list.row(0).paymentStatus),
              std::tuple("A1", "12.50", "Paid - PayPal"));
    EXPECT_EQ(std::tie(list.row(1).orderNumber, list.row(1).progress),
              std::tuple(TransferList::kReceiving, 33));
    list.setProgress(b, 2, 3, "B1", 0); // the reception found its new row
    EXPECT_EQ(std::tuple(changes.seen.back(), list.row(1).progress), std::tuple("change 1", 66));
}

TEST(TransferList, KeysAreNotReusedWhileInUse) {
    TransferList list;
    const uint16_t first = list.addReception();
    for (int i = 0; i < 70000; ++i) {
        const uint16_t k = list.addReception();
        ASSERT_NE(k, first);
        list.setAborted(k, "", "");
    }
    list.setProgress(first, 1, 2, "F", 0);
    EXPECT_EQ(list.row(0).progress, 50);
}
