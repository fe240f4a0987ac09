#include "OrderListFixture.h"

#include "support/TestSupport.h"
#include "ui/orderlist/OrderListTexts.h"
#include "ui/orderlist/OrderSearchField.h"
#include "ui/orderlist/SmoothScroll.h"

#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <ctime>

using namespace quillon;

namespace {

// Regenerate when the look is meant to change:
//   QUILLON_UPDATE_REFERENCE=1 build/tests/ui_OrderListViewTest --gtest_filter='*Reference*'
const QString kReference = QStringLiteral(TEST_DATA_DIR "/orderlist.png");
constexpr int kTolerance = 24; // per colour channel

QImage sampleThumbnail(QColor from, QColor to) {
    QImage image(64, 48, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 64, 48);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(20, 14, 24, 20), Qt::white);
    return image;
}

int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > kTolerance ||
                std::abs(qGreen(p) - qGreen(q)) > kTolerance ||
                std::abs(qBlue(p) - qBlue(q)) > kTolerance)
                ++count;
        }
    return count;
}

} // namespace

class OrderListViewTest : public OrderListFixture {};

TEST_F(OrderListViewTest, LooksLikeTheReference) {
    // The picture depends on the font and the local time zone: both pinned.
    setenv("TZ", "UTC", 1);
    tzset();
    addOrder(
        "VPN-0001001",
        {{"IMG_1001.jpg", {{101, 2}, {42, 1}}}, {"IMG_1002.jpg", {{109, 1}}}, {"notes.txt", {}}});
    addOrder("VPN-0001002", {{"beach.jpg", {{101, 4}}}}, "bob@example.org");
    addOrder("VPN-0001003");
    OrderListView& v = view({360, 300});
    ASSERT_EQ(QFontInfo(v.rows().fonts().bold()).family(), "Liberation Sans");
    const std::string folder = (m_dir.path() + "/VPN-0001001/").toStdString();
    v.seedThumbnail(QString::fromStdString(folder + "IMG_1001.jpg"),
                    sampleThumbnail(QColor(40, 90, 160), QColor(230, 180, 60)));
    v.seedThumbnail(QString::fromStdString(folder + "IMG_1002.jpg"),
                    sampleThumbnail(QColor(30, 130, 60), QColor(200, 60, 60)));
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(0).center().toPoint());
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.pictureBox(0, 0).center().toPoint());
    v.clearFocus();

    QImage actual(v.size(), QImage::Format_RGB32);
    v.render(&actual);
    if (qEnvironmentVariableIsSet("QUILLON_UPDATE_REFERENCE")) {
        ASSERT_TRUE(actual.save(kReference));
        GTEST_SKIP() << "wrote " << kReference.toStdString();
    }
    const QImage expected = QImage(kReference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), actual.size());
    const int differing = differingPixels(expected, actual);
    if (differing > 0)
        actual.save(QDir::temp().filePath("orderlist-actual.png"));
    EXPECT_EQ(differing, 0) << "see "
                            << QDir::temp().filePath("orderlist-actual.png").toStdString();
}

TEST_F(OrderListViewTest, RowsFollowTheFontAndTheToggles) {
    OrderListView& v = view();
    EXPECT_FALSE(v.verticalBarShown());
    EXPECT_FALSE(v.horizontalBarShown());
    EXPECT_EQ(v.verticalOffset(), 0);
    EXPECT_EQ(v.horizontalOffset(), 0);
    EXPECT_EQ(v.rows().contentHeight(), 0);

    addOrder("A-1", {{"one.jpg", {{101, 2}, {42, 1}}}, {"two.jpg", {}}});
    addOrder("A-2");
    const OrderListLayout& rows = v.rows();
    const qreal title = rows.titleHeight();
    const qreal detail = rows.detailHeight();
    EXPECT_EQ(rows.rowTop(1), title);

    // An order without pictures and a picture without items keep still.
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(1).center().toPoint());
    EXPECT_FALSE(rows.isExpanded(rows.bookIndex(1)));
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(0).center().toPoint());
    ASSERT_TRUE(rows.isExpanded(0));
    EXPECT_EQ(rows.rowTop(1), 3 * title + 6 * detail);
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.pictureBox(0, 1).center().toPoint());
    EXPECT_FALSE(rows.isPictureExpanded(0, 1));
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.pictureBox(0, 0).center().toPoint());
    EXPECT_TRUE(rows.isPictureExpanded(0, 0));
    EXPECT_EQ(rows.rowTop(1), 3 * title + 8 * detail);
    EXPECT_EQ(itemDescription({42, 1, nullptr}), "[000042]");
    OrderEntry priced;
    priced.itemCount = -3;
    priced.amount = 2.675f; // just below 2.675 as a float
    EXPECT_EQ(orderSummaryText(priced), "(Items: -3  Amount: 2.67)");

    // Collapsing the order collapses its pictures.
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(0).center().toPoint());
    EXPECT_EQ(rows.rowTop(1), title);
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(0).center().toPoint());
    EXPECT_FALSE(rows.isPictureExpanded(0, 0));
    EXPECT_EQ(rows.rowTop(1), 3 * title + 6 * detail);

    // The large font makes every row taller.
    v.setLargeFont(true);
    EXPECT_GT(rows.titleHeight(), title);
    EXPECT_GT(rows.detailHeight(), detail);
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
    EXPECT_EQ(bar.bar(), QRectF(284, 0, 16, 200));
    EXPECT_DOUBLE_EQ(bar.trackLength(), 200 - 32);
    EXPECT_DOUBLE_EQ(bar.thumbLength(), bar.trackLength() * 200 / h);

    // The second arrow moves the thumb 50 px, and no further than the track.
    const QPoint down = bar.secondButton().center().toPoint();
    QTest::mouseClick(&v, Qt::LeftButton, {}, down);
    EXPECT_DOUBLE_EQ(bar.thumbPosition(), 50);
    const qreal free = bar.trackLength() - bar.thumbLength();
    EXPECT_DOUBLE_EQ(v.verticalOffset(), (h - 200) * 50 / free);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(&v, Qt::LeftButton, {}, down);
    EXPECT_DOUBLE_EQ(bar.thumbPosition(), free);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), h - 200);

    // Dragging the thumb up by 30 px.
    const QPoint grab = bar.thumb().center().toPoint();
    QTest::mousePress(&v, Qt::LeftButton, {}, grab);
    QTest::mouseMove(&v, grab - QPoint(0, 30));
    QTest::mouseRelease(&v, Qt::LeftButton, {}, grab - QPoint(0, 30));
    EXPECT_DOUBLE_EQ(bar.thumbPosition(), free - 30);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), (h - 200) * (free - 30) / free);
    QTest::mouseClick(&v, Qt::LeftButton, {}, bar.firstButton().center().toPoint());
    QTest::mouseClick(&v, Qt::LeftButton, {}, bar.firstButton().center().toPoint());
    EXPECT_EQ(bar.thumbPosition(), 0);
    EXPECT_EQ(v.verticalOffset(), 0);
}

TEST_F(OrderListViewTest, AnimatedScrollAddsUpToTheDistance) {
    for (int distance : {0, 1, 100, 101, 777, -33}) {
        SmoothScroll scroll;
        int sum = scroll.start(distance);
        int moves = 1;
        while (scroll.isRunning()) {
            sum += scroll.tick();
            ++moves;
        }
        EXPECT_EQ(sum, distance);
        EXPECT_EQ(moves, 10);
    }

    // Expanding the last order scrolls its pictures into view, animated.
    for (int i = 0; i < 8; ++i)
        addOrder("C-" + std::to_string(i));
    addOrder("C-8", std::vector<SamplePicture>(20, {"many.jpg", {}}));
    addOrder("C-9", std::vector<SamplePicture>(3, {"few.jpg", {}}));
    OrderListView& v = view({300, 200});
    const qreal before = v.rows().contentHeight();
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(9).center().toPoint());
    ASSERT_TRUE(v.isAnimating());
    QTRY_VERIFY_WITH_TIMEOUT(!v.isAnimating(), 2000);
    // The box has moved up until its bottom plus the growth reach the bottom.
    const qreal growth = v.rows().contentHeight() - before;
    EXPECT_NEAR(v.orderBox(9).bottom() + growth, v.rowArea().bottom(), 1);
    // Far more than fits: the toggled box stops 2 px below the top.
    QTest::mouseClick(&v, Qt::LeftButton, {}, v.orderBox(8).center().toPoint());
    QTRY_VERIFY_WITH_TIMEOUT(!v.isAnimating(), 2000);
    EXPECT_NEAR(v.orderBox(8).top(), 2, 1);
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

    QWheelEvent down(QPointF(50, 50), v.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120),
                     Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &down);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), 3 * v.rows().titleHeight());
    thumbFollows();
    QWheelEvent up(QPointF(50, 50), v.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 480),
                   Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &up);
    EXPECT_EQ(v.verticalOffset(), 0);

    v.setFocus();
    QTest::keyClick(&v, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), 200);
    thumbFollows();
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&v, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), end);
    QTest::keyClick(&v, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(v.verticalOffset(), end - 200);
    QTest::keyClick(&v, Qt::Key_End);
    EXPECT_EQ(v.focusRow(), v.rows().shownCount() - 1);
    QTest::keyClick(&v, Qt::Key_Home);
    EXPECT_EQ(v.verticalOffset(), 0);
    EXPECT_EQ(v.focusRow(), 0);
}

TEST_F(OrderListViewTest, FindFiltersAsTheUserTypes) {
    addOrder("F-1", {{"wedding.jpg", {{101, 1}}}});
    addOrder("F-2", {}, "J\xC9R\xD4ME@example.org");
    addOrder("F-3", {{"beach.jpg", {{101, 1}}}});
    OrderListView& v = view();
    OrderSearchField field(&v); // in the list's window, as the window's band holds it
    field.show();
    QObject::connect(&field, &QLineEdit::textChanged, &v, &OrderListView::setFilter);
    v.activateWindow();
    v.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(field.hasFocus());
    const auto shown = [&] {
        std::vector<int> rows;
        for (int r = 0; r < v.rows().shownCount(); ++r)
            rows.push_back(v.rows().bookIndex(r));
        return rows;
    };

    QTest::keyClicks(&field, "WED");
    EXPECT_EQ(shown(), std::vector<int>{0});
    field.setText(QString::fromUtf8("jérô"));
    EXPECT_EQ(shown(), std::vector<int>{1});
    field.setText("f-");
    EXPECT_EQ(shown(), (std::vector<int>{0, 1, 2}));
    field.setText("beach");
    EXPECT_EQ(v.rows().contentHeight(), v.rows().titleHeight());

    // A new order that matches shows up; one that does not stays hidden.
    addOrder("F-0", {{"beach2.jpg", {{101, 1}}}});
    addOrder("F-4", {{"city.jpg", {{101, 1}}}});
    EXPECT_EQ(shown(), (std::vector<int>{0, 3}));
    field.setText("CITY");
    EXPECT_EQ(shown(), std::vector<int>{4});

    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_TRUE(field.text().isEmpty());
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
    EXPECT_EQ(made->size(), QSize(64, 48));
    EXPECT_TRUE(cache.find(folder + "/missing.jpg")->isNull());
    // A stored name that leads out of its order folder is never opened.
    EXPECT_TRUE(picturePath(folder.toStdString(), "../G-1/red.jpg").isEmpty());
}
