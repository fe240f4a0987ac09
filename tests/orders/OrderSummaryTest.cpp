// The order summary PDF: its page layout, read back with poppler, and its
// errors; and the summary builder that fills it from an order's pictures.
#include "orders/OrderSummary.h"
#include "orders/SummaryBuilder.h"
#include "orders/SummaryRecorder.h"
#include "support/ManualClock.h"
#include "support/SummaryFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using Kind = SummaryCommand::Kind;

namespace {

constexpr float kH = 842; // A4 height as a whole number

// Fills in the header's values, records into `recorder` and begins.
bool begin(OrderSummary& s, SummaryRecorder* recorder = nullptr) {
    s.setRowHeight(78);
    s.setLeftMargin(70);
    s.setTextGap(20);
    s.setFooter("Velorin Photo Network - Quillon");
    s.setTitle("Prints for Ada");
    s.setCustomer("ada@example.org");
    s.setOrderNumber("WEB-000042");
    s.setAmount(12.5f);
    std::tm t{};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 7, t.tm_hour = 9, t.tm_min = 5;
    s.setDate(t);
    s.setRecorder(recorder);
    return s.begin();
}

std::vector<std::string> items(int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::to_string(i + 1) + "  -  Print 10x15");
    return texts;
}

std::vector<SummaryCommand> ofKind(const SummaryRecorder& r, Kind kind) {
    std::vector<SummaryCommand> out;
    for (const SummaryCommand& c : r.commands())
        if (c.kind == kind)
            out.push_back(c);
    return out;
}

// The text shown on `page` in a block at `y`, by line.
std::vector<std::string> textAt(const SummaryRecorder& r, int page, float x, float y) {
    std::vector<std::string> out;
    for (const SummaryCommand& c : r.commands())
        if (c.kind == Kind::Text && c.page == page && c.x == x && c.y == y)
            out.push_back(c.text);
    return out;
}

const SummaryCommand* findText(const SummaryRecorder& r, const std::string& text) {
    for (const SummaryCommand& c : r.commands())
        if (c.kind == Kind::Text && c.text == text)
            return &c;
    return nullptr;
}

class OrderSummaryTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(begin(m_summary, &m_recorder));
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    OrderSummary m_summary;
    SummaryRecorder m_recorder;
    QImage m_landscape = testsupport::gradientPicture(1600, 1200);
};

TEST_F(OrderSummaryTest, ASliverIsStillAPicture) {
    // Scaled to 1 x 70, not to a library error; other shapes are the builder's test.
    ASSERT_TRUE(m_summary.addPicture(testsupport::gradientPicture(1, 300), "sliver.png", {}));
    EXPECT_EQ(ofKind(m_recorder, Kind::Image).at(0).x2, 1);
}

TEST_F(OrderSummaryTest, NewPageOnlyWhenTheRowNoLongerFits) {
    for (int n : {8, 8, 8, 8, 9}) // 100 + 4 x 120 + 132
        m_summary.addPicture(m_landscape, "a.jpg", items(n));
    ASSERT_EQ(m_summary.cursor(), 712);
    m_summary.addPicture(m_landscape, "fits.jpg", {}); // 842 - 712 = 130
    EXPECT_EQ(findText(m_recorder, "fits.jpg")->page, 1);

    OrderSummary second;
    SummaryRecorder recorder;
    ASSERT_TRUE(begin(second, &recorder));
    for (int n : {3, 3, 3, 8, 20}) // 100 + 3 x 78 + 120 + 264
        second.addPicture(m_landscape, "b.jpg", items(n));
    ASSERT_EQ(second.cursor(), 718);
    second.addPicture(m_landscape, "next.jpg", {}); // 842 - 718 = 124
    EXPECT_EQ(findText(recorder, "next.jpg")->page, 2);
    EXPECT_EQ(findText(recorder, "next.jpg")->y, kH - 104);
    EXPECT_EQ(ofKind(recorder, Kind::Image).back().page, 2);
}

TEST_F(OrderSummaryTest, LongItemListsContinueOnANewPageWithItsHeader) {
    m_summary.addPicture(m_landscape, "many.jpg", items(70));
    ASSERT_EQ(m_summary.pageNumber(), 2);
    // 58 lines fill the first page: 842 < 100 + 50 + 4 + 58 x 12.
    EXPECT_EQ(textAt(m_recorder, 1, 160, kH - 104).size(), 58u);
    auto rest = textAt(m_recorder, 2, 160, kH - 100);
    ASSERT_EQ(rest.size(), 13u);
    EXPECT_EQ(rest.front(), "58  -  Print 10x15");
    EXPECT_EQ(m_summary.cursor(), 100 + 13 * 12 + 8);

    // A row whose last line reaches the foot starts no empty page.
    m_summary.addPicture(m_landscape, "full.jpg", items(43)); // 842 < 264 + 50 + 4 + 44 x 12
    EXPECT_EQ(m_summary.pageNumber(), 2);
    EXPECT_EQ(m_summary.cursor(), 264 + 4 + 44 * 12 + 8);
}

TEST_F(OrderSummaryTest, SavedSummaryReadsBackWithEveryPageHeader) {
    m_summary.addPicture(m_landscape, "first.jpg", items(2));
    m_summary.addPicture(m_landscape, "many.jpg", items(70));
    m_summary.finish();
    const QString file = path("WEB-000042.pdf");
    ASSERT_TRUE(m_summary.save(file.toStdString()));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    const QStringList pages = testsupport::pdfPageTexts(file);
    ASSERT_EQ(pages.size(), 2);
    for (int page : {1, 2}) {
        for (const char* text :
             {"Prints for Ada", "Customer", "ada@example.org", "Order number", "WEB-000042",
              "Total amount", "$12.50", "24.03.07 09:05", "Velorin Photo Network - Quillon"})
            EXPECT_TRUE(pages[page - 1].contains(text)) << page << " lacks " << text;
        EXPECT_TRUE(
            pages[page - 1].contains(QRegularExpression(QString("\\bpage +%1\\b").arg(page))))
            << page;
    }
    // pdftotext shows runs of blanks as one.
    EXPECT_TRUE(pages[0].contains("first.jpg") && pages[0].contains("50 - Print 10x15"));
    EXPECT_TRUE(!pages[0].contains("51 - Print 10x15") && pages[1].contains("70 - Print 10x15"));
}

TEST_F(OrderSummaryTest, LibraryErrorAbandonsTheSummary) {
    m_summary.setFaultAfterPictures(1);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(m_summary.addPicture(m_landscape, "good.jpg", items(1)));
    EXPECT_FALSE(m_summary.addPicture(m_landscape, "bad.jpg", items(1)));
    const size_t drawn = m_recorder.commands().size();
    EXPECT_FALSE(m_summary.addPicture(m_landscape, "after.jpg", items(1)));
    m_summary.finish();
    EXPECT_FALSE(m_summary.save(path("x.pdf").toStdString()));
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(std::tuple(m_summary.failed(), out, m_recorder.commands().size()),
              std::tuple(true, "ERROR: error_no=104F, detail_no=0\n", drawn));
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(OrderSummary, ErrorsStayWithTheirOwnDocument) {
    QTemporaryDir dir;
    const QImage picture = testsupport::gradientPicture(400, 300);
    bool saved[2] = {true, false};
    auto work = [&](int index) {
        OrderSummary s;
        if (index == 0)
            s.setFaultAfterPictures(3);
        begin(s);
        for (int i = 0; i < 30; ++i)
            s.addPicture(picture, "p.jpg", items(2));
        s.finish();
        saved[index] = s.save(dir.filePath(QString("%1.pdf").arg(index)).toStdString());
    };
    testing::internal::CaptureStdout();
    std::thread failing(work, 0), sound(work, 1);
    failing.join();
    sound.join();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::tuple(saved[0], saved[1], QFile::exists(dir.filePath("0.pdf"))),
              std::tuple(false, true, false));
    EXPECT_EQ(testsupport::pdfPageTexts(dir.filePath("1.pdf")).size(), 4); // eight rows a page
}

std::vector<QSize> imageSizes(const SummaryRecorder& recorder) {
    std::vector<QSize> sizes;
    for (const SummaryCommand& c : ofKind(recorder, Kind::Image))
        sizes.push_back(QSize(int(c.x2), int(c.y2)));
    return sizes;
}

class SummaryBuilderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkdir("WEB-000042"));
        m_folder = m_root.filePath("WEB-000042");
        m_products = {{10, 0.5f, "Print 10x15"}, {20, 4.0f, "Poster A3"}};
        std::tie(m_order.customer, m_order.orderNumber, m_order.folder, m_order.amount) =
            std::tuple("ada@example.org", "WEB-000042", m_folder.toStdString(), 18.25f);
    }

    void addPicture(const std::string& name, std::vector<std::pair<int, int>> lines) {
        PictureEntry picture;
        picture.fileName = name;
        for (auto [code, quantity] : lines)
            picture.items.push_back({code, quantity, findProduct(&m_products, code)});
        m_order.pictures.push_back(std::move(picture));
    }

    QString summaryFile() const { return m_folder + "/WEB-000042.pdf"; }
    std::vector<QSize> thumbnailSizes() const {
        std::vector<QSize> sizes;
        for (const QImage& thumbnail : m_order.thumbnails)
            sizes.push_back(thumbnail.isNull() ? QSize() : thumbnail.size());
        return sizes;
    }
    QStringList folderEntries() const {
        return QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                        QDir::Name);
    }

    QTemporaryDir m_root;
    QString m_folder;
    ProductList m_products;
    OrderEntry m_order;
    testsupport::ManualClock m_clock{1710000000};
};

TEST_F(SummaryBuilderTest, ReadablePicturesGetThumbnailsAndRows) {
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/land.jpg", 1600, 1200));
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/tall.png", 600, 900));
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/pano.jpg", 1000, 333));
    ASSERT_TRUE(testsupport::writeFile(m_folder + "/notes.jpg", "no picture here"));
    addPicture("land.jpg", {{10, 2}, {77, 3}});
    addPicture("notes.jpg", {{20, 4}});
    addPicture("missing.jpg", {{10, 1}});
    addPicture("tall.png", {{20, 1}});
    addPicture("pano.jpg", {});

    SummaryRecorder recorder;
    SummaryBuilder builder(m_clock);
    builder.setSummaryHook([&](OrderSummary& s) { s.setRecorder(&recorder); });
    ASSERT_TRUE(builder.build(m_order, "Prints for Ada"));

    EXPECT_EQ(thumbnailSizes(),
              (std::vector<QSize>{{120, 90}, QSize(), QSize(), {80, 120}, {120, 39}}));
    // Every line counts, linked or not, loadable or not.
    EXPECT_EQ(std::tuple(m_order.itemCount, m_order.amount), std::tuple(2 + 3 + 4 + 1 + 1, 18.25f));

    // Rows keep the picture's own shape: from the 120 x 39 thumbnail the
    // panorama's copy would be 22 high, not 23.
    EXPECT_EQ(imageSizes(recorder), (std::vector<QSize>{{70, 52}, {46, 70}, {70, 23}}));

    // The header's layout is the summary's own test; here what the order gives.
    const QStringList pages = testsupport::pdfPageTexts(summaryFile());
    ASSERT_EQ(pages.size(), 1);
    const std::tm now = Clock::localTime(m_clock.now());
    const QString date = QString::asprintf("%02d.%02d.%02d %02d:%02d", now.tm_year % 100,
                                           now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min);
    for (const QString& text :
         {QString("Prints for Ada"), QString("$18.25"), date, QString("2 - Print 10x15"),
          QString("3 - [item code 77]"), QString("tall.png"), QString("1 - Poster A3")})
        EXPECT_TRUE(pages[0].contains(text)) << text.toStdString();
    EXPECT_FALSE(pages[0].contains("notes.jpg") || pages[0].contains("missing.jpg"));
}

TEST_F(SummaryBuilderTest, NamesLeadingOutOfTheFolderAreNotOpened) {
    ASSERT_TRUE(testsupport::writePicture(m_root.filePath("outside.jpg"), 200, 100));
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/inside.jpg", 200, 100));
    addPicture("../outside.jpg", {{10, 1}});
    addPicture(m_root.filePath("outside.jpg").toStdString(), {{10, 1}});
    addPicture("..", {{10, 1}});
    addPicture("inside.jpg", {{10, 1}});

    ASSERT_TRUE(buildSummaryAndThumbnails(m_order, "T", m_clock));
    EXPECT_EQ(thumbnailSizes(), (std::vector<QSize>{QSize(), QSize(), QSize(), {120, 60}}));
    EXPECT_EQ(m_order.itemCount, 4);
    EXPECT_FALSE(testsupport::pdfPageTexts(summaryFile()).value(0).contains("outside"));

    // An order number with a separator would write outside the folder.
    m_order.orderNumber = "../WEB-000043";
    EXPECT_FALSE(buildSummaryAndThumbnails(m_order, "T", m_clock));
    EXPECT_FALSE(QFile::exists(m_root.filePath("WEB-000043.pdf")));
}

TEST_F(SummaryBuilderTest, LibraryErrorLeavesNoSummaryButThumbnailsAndCount) {
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/a.jpg", 640, 480));
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/b.jpg", 480, 640));
    ASSERT_TRUE(testsupport::writeFile(summaryFile(), "an older summary"));
    addPicture("a.jpg", {{10, 2}});
    addPicture("b.jpg", {{99, 5}});

    SummaryBuilder builder(m_clock);
    builder.setSummaryHook([](OrderSummary& s) { s.setFaultAfterPictures(1); });
    testing::internal::CaptureStdout(); // the error line is the summary's test
    EXPECT_FALSE(builder.build(m_order, "T"));
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(std::tuple(thumbnailSizes(), m_order.itemCount),
              std::tuple(std::vector<QSize>{{120, 90}, {90, 120}}, 7));
    // Nothing saved: the older file is as it was, and no part file is left.
    EXPECT_EQ(testsupport::readFile(summaryFile()), "an older summary");
    EXPECT_EQ(folderEntries(), (QStringList{"WEB-000042.pdf", "a.jpg", "b.jpg"}));
}

TEST_F(SummaryBuilderTest, AnExistingSummaryIsReplacedUnlessItCannotBeDeleted) {
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/a.jpg", 640, 480));
    addPicture("a.jpg", {{10, 1}});
    ASSERT_TRUE(testsupport::writeFile(summaryFile(), "an older summary"));
    ASSERT_TRUE(buildSummaryAndThumbnails(m_order, "T", m_clock));
    EXPECT_TRUE(testsupport::readFile(summaryFile()).startsWith("%PDF-"));
    EXPECT_EQ(testsupport::pdfPageTexts(summaryFile()).size(), 1);
    EXPECT_EQ(folderEntries(), (QStringList{"WEB-000042.pdf", "a.jpg"}));

    // A folder of that name cannot be deleted as a file.
    ASSERT_TRUE(QFile::remove(summaryFile()));
    ASSERT_TRUE(QDir(m_folder).mkdir("WEB-000042.pdf"));
    m_order.thumbnails[0] = QImage();
    EXPECT_FALSE(buildSummaryAndThumbnails(m_order, "T", m_clock));
    EXPECT_TRUE(QFileInfo(summaryFile()).isDir());
    EXPECT_FALSE(m_order.thumbnails[0].isNull());
}

TEST_F(SummaryBuilderTest, WithoutSummaryOnlyThumbnailsAndCount) {
    ASSERT_TRUE(testsupport::writePicture(m_folder + "/a.jpg", 640, 480));
    addPicture("a.jpg", {{10, 1}, {20, 2}});
    m_order.itemCount = 5; // counted on top of what is there
    EXPECT_FALSE(buildSummaryAndThumbnails(m_order, "T", m_clock, false));
    EXPECT_FALSE(QFile::exists(summaryFile()));
    EXPECT_EQ(std::tuple(m_order.thumbnails[0].size(), m_order.itemCount),
              std::tuple(QSize(120, 90), 8));

    // Quantities from the sender may be huge: the count stops at its limit.
    addPicture("none.jpg", {{10, 2000000000}, {10, 2000000000}});
    buildSummaryAndThumbnails(m_order, "T", m_clock, false);
    EXPECT_EQ(m_order.itemCount, std::numeric_limits<int32_t>::max());
}

} // namespace
