#include "OrderListFixture.h"

#include "support/RecordingPrompter.h"
#include "ui/orderlist/OrderOpener.h"
#include "ui/orderlist/PopupMenu.h"

#include <QFile>
#include <QTest>
#include <cmath>

using namespace quillon;

class PopupMenuTest : public OrderListFixture {
protected:
    void SetUp() override {
        OrderListFixture::SetUp();
        for (int i = 0; i < 12; ++i)
            addOrder("P-" + std::to_string(100 + i), {{"a.jpg", {{101, 1}}}});
        OrderListView& v = view({160, 200});
        QObject::connect(&v, &OrderListView::summaryRequested, [this](auto& folder, auto& number) {
            m_asked.push_back("summary " + folder + " " + number);
        });
        QObject::connect(&v, &OrderListView::folderRequested,
                         [this](auto& folder) { m_asked.push_back("folder " + folder); });
    }

    QPoint title(int row) { return view().titleBox(row).center().toPoint(); }
    std::string folder(int row) {
        return m_dir.filePath("P-" + QString::number(100 + row)).toStdString();
    }

    std::vector<std::string> m_asked;
};

TEST_F(PopupMenuTest, OpensInsideTheListAndHighlightsUnderThePointer) {
    OrderListView& v = view();
    // Order 8 lies near the bottom; its number near the right edge.
    QTest::mouseClick(&v, Qt::RightButton, {}, title(8));
    PopupMenu& menu = v.popup();
    ASSERT_TRUE(menu.isOpen());
    const QRectF box = menu.menuRect();
    EXPECT_EQ(box.width(), OrderListView::kMenuWidth);
    EXPECT_EQ(box.right(), v.rowArea().right() + 16); // shifted left to the list's edge
    EXPECT_LE(box.bottom(), v.height());
    EXPECT_LT(box.top(), title(8).y()); // and up
    EXPECT_EQ(PopupMenu::placement({10, 10}, {120, 40}, QRectF(0, 0, 100, 30)),
              QRectF(0, 0, 120, 40)); // never past the top or left edge

    // Hover: left and top edges belong to an item, right and bottom do not.
    const QRectF first = menu.itemBox(0), second = menu.itemBox(1);
    const auto pixel = [&](qreal x, qreal y) {
        return menu.mapFromParent(QPoint(int(std::ceil(x)), int(std::ceil(y))));
    };
    QTest::mouseMove(&menu, pixel(first.left(), first.top()));
    EXPECT_EQ(menu.hoveredItem(), 0);
    QTest::mouseMove(&menu, menu.mapFromParent(second.center().toPoint()));
    EXPECT_EQ(menu.hoveredItem(), 1);
    QTest::mouseMove(&menu, pixel(second.right(), second.center().y()));
    EXPECT_EQ(menu.hoveredItem(), -1);

    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.mapFromParent(second.center().toPoint()));
    EXPECT_FALSE(menu.isOpen());
    EXPECT_EQ(m_asked, std::vector<std::string>{"folder " + folder(8)});
}

TEST_F(PopupMenuTest, ClicksBesideItCloseItOrMoveIt) {
    OrderListView& v = view();
    PopupMenu& menu = v.popup();
    QTest::mouseClick(&v, Qt::RightButton, {}, title(0));
    ASSERT_TRUE(menu.isOpen());
    // A left click on an expander beside it only closes it.
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(5).center().toPoint());
    EXPECT_FALSE(menu.isOpen());
    EXPECT_FALSE(v.rows().isExpanded(5));

    // A right click on another order's number moves it there.
    QTest::mouseClick(&v, Qt::RightButton, {}, title(0));
    QTest::mouseClick(&v, Qt::RightButton, {}, title(3));
    ASSERT_TRUE(menu.isOpen());
    EXPECT_EQ(menu.menuRect().top(), title(3).y());
    QTest::mouseClick(&menu, Qt::LeftButton, {},
                      menu.mapFromParent(menu.itemBox(0).center().toPoint()));
    EXPECT_EQ(m_asked, std::vector<std::string>{"summary " + folder(3) + " P-103"});

    QTest::mouseDClick(&v, Qt::LeftButton, {}, title(4));
    EXPECT_EQ(m_asked.back(), "summary " + folder(4) + " P-104");
}

TEST_F(PopupMenuTest, SummaryOpensOnlyWhenItCanBeOpenedForUpdate) {
    testsupport::RecordingPrompter prompter;
    std::vector<QUrl> opened;
    bool desktopOpens = true;
    OrderOpener opener(prompter, [&](const QUrl& url) {
        opened.push_back(url);
        return desktopOpens;
    });
    const std::string order = folder(1);
    EXPECT_FALSE(opener.openSummary(order, "P-101"));
    EXPECT_EQ(prompter.messages(),
              std::vector<std::string>{"Order details cannot be found or already opened."});
    EXPECT_FALSE(
        QFile::exists(QString::fromStdString(order + "/P-101.pdf"))); // not made by the test

    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(order)));
    QFile pdf(QString::fromStdString(order + "/P-101.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    EXPECT_TRUE(opener.openSummary(order, "P-101"));
    EXPECT_TRUE(opener.openFolder(order));
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl::fromLocalFile(pdf.fileName()),
                                         QUrl::fromLocalFile(QString::fromStdString(order))}));
    EXPECT_EQ(prompter.messages().size(), 1u);

    // A desktop without a program for them says so.
    desktopOpens = false;
    EXPECT_FALSE(opener.openSummary(order, "P-101"));
    EXPECT_FALSE(opener.openFolder(order));
    EXPECT_EQ(prompter.messages(),
              (std::vector<std::string>{"Order details cannot be found or already opened.",
                                        "No program was found to open " + order + "/P-101.pdf.",
                                        "No program was found to open " + order + "."}));
}
