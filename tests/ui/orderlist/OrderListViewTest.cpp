// The order list as the window shows it: its rows, scroll bars, filter,
// thumbnails and context menu, over an order book in a temporary
// folder on the offscreen platform.
#include "ui/orderlist/OrderListView.h"
#include "orders/OrderBook.h"
#include "support/RecordingPrompter.h"
#include "support/TestSupport.h"
#include "ui/orderlist/OrderListTexts.h"
#include "ui/orderlist/OrderOpener.h"
#include "ui/orderlist/PopupMenu.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct SamplePicture {
    std::string fileName;
    std::vector<std::pair<int32_t, int32_t>> items; // code, quantity
};

// An order book in a temporary folder and an order list view over it.
class OrderListFixture : public ::testing::Test {
protected:
    void SetUp() override { m_book.setProducts(&m_products); }

    void addOrder(const std::string& number, std::vector<SamplePicture> pictures = {},
                  const std::string& customer = "ann@example.org") {
        auto order = std::make_unique<OrderEntry>();
        std::tie(order->orderNumber, order->customer, order->amount, order->received) =
            std::tuple(number, customer, 12.5f, 1'700'000'000);
        order->folder = (m_dir.path() + "/" + QString::fromStdString(number)).toStdString();
        for (SamplePicture& sample : pictures) {
            PictureEntry picture{sample.fileName, {}};
            for (auto [code, quantity] : sample.items) {
                picture.items.push_back({code, quantity, findProduct(&m_products, code)});
                order->itemCount += quantity;
            }
            order->pictures.push_back(std::move(picture));
        }
        m_book.add(std::move(order));
    }

    OrderListView& view(QSize size = {400, 300}) {
        if (!m_view) {
            m_view = std::make_unique<OrderListView>(m_book);
            m_view->resize(size);
            m_view->show();
        }
        return *m_view;
    }

    QTemporaryDir m_dir;
    ProductList m_products{{101, 1.5f, "Print 10x15"}, {109, 4.0f, "Poster A4"}};
    OrderBook m_book{(m_dir.path() + "/OE.DB").toStdString()};
    std::unique_ptr<OrderListView> m_view;
};

} // namespace

using OrderListViewTest = OrderListFixture;

TEST_F(OrderListViewTest, RowsFollowTheFontAndTheToggles) {
    OrderListView& v = view();
    EXPECT_FALSE(v.verticalBarShown());
    addOrder("A-1", {{"one.jpg", {{101, 2}, {42, 1}}}, {"two.jpg", {}}});
    addOrder("A-2");
    const OrderListLayout& rows = v.rows();
    const qreal title = rows.titleHeight(), detail = rows.detailHeight();
    EXPECT_EQ(rows.rowTop(1), title);
    const auto click = [&v](const QRectF& box) {
        QTest::mouseClick(&v, Qt::LeftButton, {}, box.center().toPoint());
    };

    // An order without pictures and a picture without items keep still.
    click(v.orderBox(1));
    EXPECT_FALSE(rows.isExpanded(rows.bookIndex(1)));
    click(v.orderBox(0));
    ASSERT_TRUE(rows.isExpanded(0));
    EXPECT_EQ(rows.rowTop(1), 3 * title + 6 * detail);
    click(v.pictureBox(0, 1));
    EXPECT_FALSE(rows.isPictureExpanded(0, 1));
    click(v.pictureBox(0, 0));
    EXPECT_EQ(std::tuple(rows.isPictureExpanded(0, 0), rows.rowTop(1)),
              std::tuple(true, 3 * title + 8 * detail));
    OrderEntry priced;
    priced.itemCount = -3;
    priced.amount = 2.675f; // just below 2.675 as a float
    EXPECT_EQ(orderSummaryText(priced), "(Items: -3  Amount: 2.67)");

    // Collapsing the order collapses its pictures.
    click(v.orderBox(0));
    EXPECT_EQ(rows.rowTop(1), title);
    click(v.orderBox(0));
    EXPECT_EQ(std::tuple(rows.isPictureExpanded(0, 0), rows.rowTop(1)),
              std::tuple(false, 3 * title + 6 * detail));

    // The large font makes every row taller.
    v.setLargeFont(true);
    EXPECT_TRUE(rows.titleHeight() > title && rows.detailHeight() > detail);
    EXPECT_EQ(rows.rowTop(1), 3 * rows.titleHeight() + 6 * rows.detailHeight());
}

TEST_F(OrderListViewTest, BarsAppearAtTheirBoundaries) {
    for (int i = 0; i < 30; ++i)
        addOrder("B-" + std::to_string(100 + i));
    OrderListView& v = view({300, 200});
    const QSizeF content(v.rows().contentWidth(), v.rows().contentHeight());
    const qreal w = content.width(), h = content.height();
    const auto bars = [&](qreal width, qreal height) {
        const ScrollBarPresence p = scrollBarsFor(QSizeF(width, height), content);
        return std::pair(p.vertical, p.horizontal);
    };
    EXPECT_EQ(bars(w + 1, h + 1), std::pair(false, false));
    // Too narrow: at H - 16 == content height the vertical bar comes too.
    EXPECT_EQ(bars(w, h + 16), std::pair(true, true));
    EXPECT_EQ(bars(w, h + 16.5), std::pair(false, true));
    // Too low: at W - 16 == content width the horizontal bar comes too.
    EXPECT_EQ(bars(w + 16, h), std::pair(true, true));
    EXPECT_EQ(bars(w + 16.5, h), std::pair(true, false));

    ASSERT_TRUE(v.verticalBarShown());
    EXPECT_FALSE(v.horizontalBarShown());
    const ScrollBarGeometry& bar = v.verticalBar();

    // Dragging the thumb down by 30 px; an arrow click brings it back.
    const qreal free = bar.trackLength() - bar.thumbLength();
    const QPoint grab = bar.thumb().center().toPoint();
    QTest::mousePress(&v, Qt::LeftButton, {}, grab);
    QTest::mouseMove(&v, grab + QPoint(0, 30));
    QTest::mouseRelease(&v, Qt::LeftButton, {}, grab + QPoint(0, 30));
    EXPECT_DOUBLE_EQ(bar.thumbPosition(), 30);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), (h - 200) * 30 / free);
    QTest::mouseClick(&v, Qt::LeftButton, {}, bar.firstButton().center().toPoint());
    EXPECT_EQ(std::tuple(bar.thumbPosition(), v.verticalOffset()), std::tuple(0, 0));
}

TEST_F(OrderListViewTest, WheelAndKeysScrollWithTheThumb) {
    for (int i = 0; i < 40; ++i)
        addOrder("D-" + std::to_string(100 + i));
    OrderListView& v = view({300, 200});
    const ScrollBarGeometry& bar = v.verticalBar();
    const qreal end = v.rows().contentHeight() - 200;
    const auto thumbFollows = [&] {
        EXPECT_DOUBLE_EQ(bar.thumbPosition(),
                         (bar.trackLength() - bar.thumbLength()) * v.verticalOffset() / end);
    };

    const auto wheel = [&v](int delta) {
        QWheelEvent event(QPointF(50, 50), v.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, delta),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &event);
    };
    wheel(-120);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), 3 * v.rows().titleHeight());
    thumbFollows();
    wheel(480);
    EXPECT_EQ(v.verticalOffset(), 0);

    v.setFocus();
    QTest::keyClick(&v, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), 200);
    thumbFollows();
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&v, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), end);
    QTest::keyClick(&v, Qt::Key_End);
    EXPECT_EQ(v.focusRow(), v.rows().shownCount() - 1);
    QTest::keyClick(&v, Qt::Key_Home);
    EXPECT_EQ(std::tuple(v.verticalOffset(), v.focusRow()), std::tuple(0, 0));
}

TEST_F(OrderListViewTest, FindFiltersAsTheUserTypes) {
    addOrder("F-1", {{"wedding.jpg", {{101, 1}}}});
    addOrder("F-2", {}, "J\xC9R\xD4ME@example.org");
    addOrder("F-3", {{"beach.jpg", {{101, 1}}}});
    OrderListView& v = view(); // Ctrl+F and Escape are the main window's test
    const auto shown = [&] {
        std::vector<int> rows;
        for (int r = 0; r < v.rows().shownCount(); ++r)
            rows.push_back(v.rows().bookIndex(r));
        return rows;
    };

    v.setFilter("WED");
    EXPECT_EQ(shown(), std::vector<int>{0});
    v.setFilter(QString::fromUtf8("jérô"));
    EXPECT_EQ(shown(), std::vector<int>{1});
    v.setFilter("f-");
    EXPECT_EQ(shown(), (std::vector<int>{0, 1, 2}));
    v.setFilter("beach");
    EXPECT_EQ(v.rows().contentHeight(), v.rows().titleHeight());

    // A new order that matches shows up; one that does not stays hidden.
    addOrder("F-0", {{"beach2.jpg", {{101, 1}}}});
    addOrder("F-4", {{"city.jpg", {{101, 1}}}});
    EXPECT_EQ(shown(), (std::vector<int>{0, 3}));
    v.setFilter("CITY");
    EXPECT_EQ(shown(), std::vector<int>{4});
    v.setFilter("");
    EXPECT_EQ(v.rows().shownCount(), 5);
}

TEST_F(OrderListViewTest, ThumbnailsAreMadeWhenTheirPicturesComeIntoView) {
    const QString folder = m_dir.filePath("G-1");
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage photo(800, 600, QImage::Format_RGB32);
    photo.fill(QColor(200, 40, 40));
    ASSERT_TRUE(photo.save(folder + "/red.jpg"));
    addOrder(
        "G-1",
        {{"red.jpg", {{101, 1}}}, {"missing.jpg", {{101, 1}}}, {"../G-1/red.jpg", {{101, 1}}}});
    OrderListView& v = view();
    v.repaint();
    EXPECT_EQ(v.thumbnails().count(), 0); // nothing decoded while collapsed

    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(0).center().toPoint());
    v.repaint();
    QTRY_COMPARE_WITH_TIMEOUT(v.thumbnails().count(), 2, 5000);
    ThumbnailCache& cache = const_cast<ThumbnailCache&>(v.thumbnails());
    const QImage* made = cache.find(folder + "/red.jpg");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(std::tuple(made->size(), cache.find(folder + "/missing.jpg")->isNull()),
              std::tuple(QSize(64, 48), true));
    // A stored name that leads out of its order folder is never opened.
    EXPECT_TRUE(picturePath(folder.toStdString(), "../G-1/red.jpg").isEmpty());
}

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
    EXPECT_EQ(box.right(), v.rowArea().right() + 16); // shifted left to the list's edge
    EXPECT_TRUE(box.bottom() <= v.height() && box.top() < title(8).y()); // and up

    // The highlight follows the pointer from item to item.
    const QRectF second = menu.itemBox(1);
    QTest::mouseMove(&menu, menu.mapFromParent(menu.itemBox(0).center().toPoint()));
    EXPECT_EQ(menu.hoveredItem(), 0);
    QTest::mouseMove(&menu, menu.mapFromParent(second.center().toPoint()));
    EXPECT_EQ(menu.hoveredItem(), 1);

    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.mapFromParent(second.center().toPoint()));
    EXPECT_EQ(std::tuple(menu.isOpen(), m_asked),
              std::tuple(false, std::vector<std::string>{"folder " + folder(8)}));
}

TEST_F(PopupMenuTest, ClicksBesideItCloseItOrMoveIt) {
    OrderListView& v = view();
    PopupMenu& menu = v.popup();
    QTest::mouseClick(&v, Qt::RightButton, {}, title(0));
    ASSERT_TRUE(menu.isOpen());
    // A left click on an expander beside it only closes it.
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(5).center().toPoint());
    EXPECT_FALSE(menu.isOpen() || v.rows().isExpanded(5));

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
    const QString pdf = QString::fromStdString(order + "/P-101.pdf");
    EXPECT_FALSE(opener.openSummary(order, "P-101") || QFile::exists(pdf)); // nor is it made
    EXPECT_EQ(prompter.messages(),
              std::vector<std::string>{"Order details cannot be found or already opened."});

    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(order)));
    ASSERT_TRUE(testsupport::writeFile(pdf, ""));
    EXPECT_TRUE(opener.openSummary(order, "P-101"));
    EXPECT_TRUE(opener.openFolder(order));
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl::fromLocalFile(pdf),
                                         QUrl::fromLocalFile(QString::fromStdString(order))}));
    EXPECT_EQ(prompter.messages().size(), 1u);

    // A desktop without a program for it says so.
    desktopOpens = false;
    EXPECT_FALSE(opener.openFolder(order));
    EXPECT_EQ(prompter.messages().back(), "No program was found to open " + order + ".");
}
