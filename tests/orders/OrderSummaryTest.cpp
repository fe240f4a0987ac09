#include "orders/OrderSummary.h"
#include "orders/SummaryRecorder.h"
#include "support/SummaryFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using Kind = SummaryCommand::Kind;

namespace {

constexpr float kH = 842; // A4 height as a whole number
constexpr float kW = 595.276f;

void fill(OrderSummary& s) {
    s.setRowHeight(78);
    s.setLeftMargin(70);
    s.setTextGap(20);
    s.setFooter("Velorin Photo Network - Quillon");
    s.setTitle("Prints for Ada");
    s.setCustomer("ada@example.org");
    s.setOrderNumber("WEB-000042");
    s.setAmount(12.5f);
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    s.setDate(t);
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
        fill(m_summary);
        m_summary.setRecorder(&m_recorder);
        ASSERT_TRUE(m_summary.begin());
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    OrderSummary m_summary;
    SummaryRecorder m_recorder;
    QImage m_landscape = testsupport::gradientPicture(1600, 1200);
};

TEST_F(OrderSummaryTest, PicturesAreScaledIntoTheBoxAndCentred) {
    ASSERT_TRUE(m_summary.addPicture(m_landscape, "land.jpg", {}));
    ASSERT_TRUE(m_summary.addPicture(testsupport::gradientPicture(1200, 1600), "port.jpg", {}));
    // A sliver must still become a picture, not a library error.
    ASSERT_TRUE(m_summary.addPicture(testsupport::gradientPicture(1, 300), "sliver.png", {}));

    auto images = ofKind(m_recorder, Kind::Image);
    ASSERT_EQ(images.size(), 3u);
    // Box of the first row: top H - 100 - 4, bottom 70 below it.
    const float top = kH - 100 - 4;
    EXPECT_EQ(images[0].x2, 70);
    EXPECT_EQ(images[0].y2, 52);
    EXPECT_EQ(images[0].x, 70);
    EXPECT_EQ(images[0].y - (top - 70), 9);           // below
    EXPECT_EQ(top - (images[0].y + images[0].y2), 9); // above

    EXPECT_EQ(images[1].x2, 52);
    EXPECT_EQ(images[1].y2, 70);
    EXPECT_EQ(images[1].x, 79);
    EXPECT_EQ(images[1].y, kH - 178 - 74);
    EXPECT_EQ(images[1].x + images[1].x2 + 9, 70 + 70);

    EXPECT_EQ(images[2].x2, 1);
    EXPECT_EQ(images[2].y2, 70);
}

TEST_F(OrderSummaryTest, RowsAdvanceByTheirTextOrTheRowHeight) {
    m_summary.addPicture(m_landscape, "three.jpg", items(3));
    EXPECT_EQ(m_summary.cursor(), 100 + 78); // 4 + 4 x 12 + 8 = 60 < 78
    m_summary.addPicture(m_landscape, "eight.jpg", items(8));
    EXPECT_EQ(m_summary.cursor(), 178 + 120); // 4 + 9 x 12 + 8
    m_summary.finish();

    auto rules = ofKind(m_recorder, Kind::Line);
    ASSERT_EQ(rules.size(), 4u); // title rule, two row rules, closing rule
    EXPECT_EQ(rules[1].y, kH - 100);
    EXPECT_EQ(rules[2].y, kH - 178);
    EXPECT_EQ(rules[3].y, kH - 298);
    for (size_t i = 1; i < rules.size(); ++i) {
        EXPECT_FLOAT_EQ(rules[i].size, 0.1f);
        EXPECT_EQ(rules[i].x, 70);
        EXPECT_EQ(rules[i].x2, 595 - 70);
    }

    // The row's text block: file name first, one leading per line.
    auto block = textAt(m_recorder, 1, 160, kH - 178 - 4);
    ASSERT_EQ(block.size(), 9u);
    EXPECT_EQ(block[0], "eight.jpg");
    EXPECT_EQ(block[8], "8  -  Print 10x15");
    const SummaryCommand* name = findText(m_recorder, "eight.jpg");
    EXPECT_EQ(name->size, 8);
    EXPECT_EQ(name->leading, 12);
}

TEST_F(OrderSummaryTest, NewPageOnlyWhenTheRowNoLongerFits) {
    for (int n : {8, 8, 8, 8, 9}) // 100 + 4 x 120 + 132
        m_summary.addPicture(m_landscape, "a.jpg", items(n));
    ASSERT_EQ(m_summary.cursor(), 712);
    m_summary.addPicture(m_landscape, "fits.jpg", {}); // 842 - 712 = 130
    EXPECT_EQ(m_summary.pageNumber(), 1);
    EXPECT_EQ(findText(m_recorder, "fits.jpg")->page, 1);

    OrderSummary second;
    SummaryRecorder recorder;
    fill(second);
    second.setRecorder(&recorder);
    ASSERT_TRUE(second.begin());
    for (int n : {3, 3, 3, 8, 20}) // 100 + 3 x 78 + 120 + 264
        second.addPicture(m_landscape, "b.jpg", items(n));
    ASSERT_EQ(second.cursor(), 718);
    second.addPicture(m_landscape, "next.jpg", {}); // 842 - 718 = 124
    EXPECT_EQ(second.pageNumber(), 2);
    const SummaryCommand* next = findText(recorder, "next.jpg");
    EXPECT_EQ(next->page, 2);
    EXPECT_EQ(next->y, kH - 100 - 4);
    EXPECT_EQ(ofKind(recorder, Kind::Image).back().page, 2);
}

TEST_F(OrderSummaryTest, LongItemListsContinueOnANewPageWithItsHeader) {
    m_summary.addPicture(m_landscape, "many.jpg", items(70));
    m_summary.finish();
    ASSERT_EQ(m_summary.pageNumber(), 2);
    // 58 lines fill the first page: 842 < 100 + 50 + 4 + 58 x 12.
    EXPECT_EQ(textAt(m_recorder, 1, 160, kH - 104).size(), 58u);
    auto rest = textAt(m_recorder, 2, 160, kH - 100);
    ASSERT_EQ(rest.size(), 13u);
    EXPECT_EQ(rest.front(), "58  -  Print 10x15");
    EXPECT_EQ(m_summary.cursor(), 100 + 13 * 12 + 8);

    for (int page : {1, 2}) {
        auto labels = textAt(m_recorder, page, 70, 841.89f - 50);
        EXPECT_EQ(labels, (std::vector<std::string>{"Customer", "Order number", "Total amount"}));
        auto values = textAt(m_recorder, page, 170, 841.89f - 50);
        EXPECT_EQ(values, (std::vector<std::string>{"ada@example.org", "WEB-000042", "$12.50"}));
    }
    const SummaryCommand* pageTwo = findText(m_recorder, "page 2");
    ASSERT_NE(pageTwo, nullptr);
    EXPECT_EQ(pageTwo->page, 2);
    EXPECT_EQ(pageTwo->size, 8);
    EXPECT_EQ(pageTwo->y, 841.89f - 50);
    const SummaryCommand* date = findText(m_recorder, "24.03.07 09:05  ");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->size, 10);
    EXPECT_EQ(date->y, 841.89f - 78);
    const SummaryCommand* footer = findText(m_recorder, "Velorin Photo Network - Quillon");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->y, 30);
    EXPECT_EQ(footer->size, 7);
    EXPECT_EQ(footer->leading, 10);
    // The title and its rule are centred on the page.
    const SummaryCommand titleRule = ofKind(m_recorder, Kind::Line).front();
    EXPECT_FLOAT_EQ(titleRule.size, 0.2f);
    EXPECT_NEAR((titleRule.x + titleRule.x2) / 2, kW / 2, 0.01);
    EXPECT_NEAR(titleRule.y, 841.89 - 46, 0.01);
    EXPECT_EQ(findText(m_recorder, "Prints for Ada")->x, titleRule.x);
}

TEST_F(OrderSummaryTest, ARowEndingAtThePageFootStartsNoEmptyPage) {
    // The last of 57 item lines reaches the foot; no line follows it.
    m_summary.addPicture(m_landscape, "full.jpg", items(57));
    EXPECT_EQ(m_summary.pageNumber(), 1);
    EXPECT_EQ(m_summary.cursor(), 100 + 4 + 58 * 12 + 8);
    m_summary.addPicture(m_landscape, "next.jpg", {});
    EXPECT_EQ(findText(m_recorder, "next.jpg")->page, 2);
}

TEST_F(OrderSummaryTest, SavedSummaryReadsBackWithEveryPageHeader) {
    m_summary.addPicture(m_landscape, "first.jpg", items(2));
    m_summary.addPicture(m_landscape, "many.jpg", items(70));
    m_summary.finish();
    const QString file = path("WEB-000042.pdf");
    ASSERT_TRUE(m_summary.save(file.toStdString()));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    ASSERT_EQ(testsupport::pdfPageCount(file), 2);
    const QStringList pages = testsupport::pdfPageTexts(file);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString& page = pages[i];
        for (const char* text :
             {"Prints for Ada", "Customer", "ada@example.org", "Order number", "WEB-000042",
              "Total amount", "$12.50", "24.03.07 09:05", "Velorin Photo Network - Quillon"})
            EXPECT_TRUE(page.contains(text)) << "page " << i + 1 << " lacks " << text;
        EXPECT_TRUE(page.contains(QString("page %1").arg(i + 1)));
    }
    // pdftotext shows runs of blanks as one.
    EXPECT_TRUE(pages[0].contains("first.jpg"));
    EXPECT_TRUE(pages[0].contains("50 - Print 10x15"));
    EXPECT_FALSE(pages[0].contains("51 - Print 10x15"));
    EXPECT_TRUE(pages[1].contains("70 - Print 10x15"));

    // Where the header's texts really are (tops measured from the page top).
    const auto words = testsupport::pdfWords(file);
    // The word `text`, or the last of two words in a row.
    auto word = [&](int page, const QString& text) {
        for (size_t i = 0; i < words.size(); ++i) {
            const testsupport::PdfWord& w = words[i];
            if (w.page == page && (w.text == text || (i > 0 && words[i - 1].page == page &&
                                                      words[i - 1].text + " " + w.text == text)))
                return w;
        }
        return testsupport::PdfWord{};
    };
    // Left and right edge of the line that holds `text`.
    auto span = [&](int page, const QString& text) {
        auto line = testsupport::pdfLine(words, page, word(page, text).yMin);
        return line.empty() ? std::make_pair(-1.0, -1.0)
                            : std::make_pair(line.front().xMin, line.back().xMax);
    };
    for (int page : {1, 2}) {
        auto title = span(page, "Prints");
        EXPECT_NEAR((title.first + title.second) / 2, kW / 2, 1);
        auto footer = span(page, "Velorin");
        EXPECT_NEAR((footer.first + footer.second) / 2, kW / 2, 1);
        EXPECT_NEAR(word(page, "Customer").xMin, 70, 1);
        EXPECT_NEAR(word(page, "ada@example.org").xMin, 170, 1);
        // The page number ends at the right margin; the date's two trailing
        // blanks (2.78 points each) keep it off the margin.
        EXPECT_NEAR(word(page, "page " + QString::number(page)).xMax, kW - 70, 1);
        EXPECT_NEAR(span(page, "09:05").second, kW - 70 - 5.56, 1);
    }

    const QByteArray pdf = testsupport::readFile(file);
    EXPECT_TRUE(pdf.contains("/OpenAction"));
    EXPECT_TRUE(QString::fromLatin1(pdf).contains(QRegularExpression(R"(/XYZ 0 841\.89\d* 1\b)")));
    EXPECT_TRUE(pdf.contains("/FlateDecode"));
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

    EXPECT_TRUE(m_summary.failed());
    EXPECT_EQ(out, "ERROR: error_no=104F, detail_no=0\n");
    EXPECT_EQ(m_recorder.commands().size(), drawn);
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(OrderSummary, ErrorsStayWithTheirOwnDocument) {
    QTemporaryDir dir;
    const QImage picture = testsupport::gradientPicture(400, 300);
    bool saved[2] = {true, false};
    auto work = [&](int index) {
        OrderSummary s;
        fill(s);
        if (index == 0)
            s.setFaultAfterPictures(3);
        s.begin();
        for (int i = 0; i < 30; ++i)
            s.addPicture(picture, "p.jpg", items(2));
        s.finish();
        saved[index] = s.save(dir.filePath(QString("%1.pdf").arg(index)).toStdString());
    };
    testing::internal::CaptureStdout();
    std::thread failing(work, 0);
    std::thread sound(work, 1);
    failing.join();
    sound.join();
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(saved[0]);
    EXPECT_TRUE(saved[1]);
    EXPECT_FALSE(QFile::exists(dir.filePath("0.pdf")));
    EXPECT_EQ(testsupport::pdfPageCount(dir.filePath("1.pdf")), 4); // eight rows a page
}

TEST(OrderSummary, NothingIsDrawnOrSavedWithoutADocument) {
    QTemporaryDir dir;
    OrderSummary s;
    SummaryRecorder r;
    s.setRecorder(&r);
    EXPECT_FALSE(s.addPicture(testsupport::gradientPicture(10, 10), "a.jpg", {}));
    EXPECT_FALSE(s.save(dir.filePath("a.pdf").toStdString()));
    EXPECT_TRUE(r.commands().empty());
    fill(s);
    ASSERT_TRUE(s.begin());
    EXPECT_FALSE(s.addPicture(QImage(), "null.jpg", {}));
    // A folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(s.save(dir.filePath("missing/a.pdf").toStdString()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
