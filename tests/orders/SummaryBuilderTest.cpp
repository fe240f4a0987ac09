#include "orders/SummaryBuilder.h"
#include "orders/OrderSummary.h"
#include "orders/SummaryRecorder.h"
#include "support/ManualClock.h"
#include "support/SummaryFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

std::vector<QSize> imageSizes(const SummaryRecorder& recorder) {
    std::vector<QSize> sizes;
    for (const SummaryCommand& c : recorder.commands())
        if (c.kind == SummaryCommand::Kind::Image)
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
        m_order.customer = "ada@example.org";
        m_order.orderNumber = "WEB-000042";
        m_order.folder = m_folder.toStdString();
        m_order.amount = 18.25f;
    }

    void addPicture(const std::string& name, std::vector<std::pair<int, int>> lines) {
        PictureEntry picture;
        picture.fileName = name;
        for (auto [code, quantity] : lines)
            picture.items.push_back({code, quantity, findProduct(&m_products, code)});
        m_order.pictures.push_back(std::move(picture));
    }

    QString summaryFile() const { return m_folder + "/WEB-000042.pdf"; }
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

    EXPECT_EQ(m_order.thumbnails[0].size(), QSize(120, 90));
    EXPECT_TRUE(m_order.thumbnails[1].isNull());
    EXPECT_TRUE(m_order.thumbnails[2].isNull());
    EXPECT_EQ(m_order.thumbnails[3].size(), QSize(80, 120));
    EXPECT_EQ(m_order.thumbnails[4].size(), QSize(120, 39));
    // Every line counts, linked or not, loadable or not.
    EXPECT_EQ(m_order.itemCount, 2 + 3 + 4 + 1 + 1);
    EXPECT_FLOAT_EQ(m_order.amount, 18.25f);

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
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_order.thumbnails[i].isNull(), i < 3) << i;
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

    EXPECT_FALSE(m_order.thumbnails[0].isNull());
    EXPECT_FALSE(m_order.thumbnails[1].isNull());
    EXPECT_EQ(m_order.itemCount, 7);
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
    EXPECT_EQ(m_order.thumbnails[0].size(), QSize(120, 90));
    EXPECT_EQ(m_order.itemCount, 8);

    // Quantities from the sender may be huge: the count stops at its limit.
    addPicture("none.jpg", {{10, 2000000000}, {10, 2000000000}});
    buildSummaryAndThumbnails(m_order, "T", m_clock, false);
    EXPECT_EQ(m_order.itemCount, std::numeric_limits<int32_t>::max());
}

} // namespace
