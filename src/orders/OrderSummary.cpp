#include "orders/OrderSummary.h"

#include "netlib/AnsiText.h"
#include "orders/FilePaths.h"
#include "orders/SummaryRecorder.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <hpdf.h>

namespace quillon {

namespace {

// The page header, in points below the top of the page, and the footer,
// above its bottom.
constexpr float kTitleTop = 30;     // the title, centred
constexpr float kTitleRuleTop = 46; // the rule under it
constexpr float kFieldsTop = 50;    // labels, values and page number
constexpr float kValueIndent = 100; // the values, right of their labels
constexpr float kDateTop = 78;      // right-aligned, as the page number
constexpr float kFooterBottom = 30; // centred

// Font sizes and leadings.
constexpr float kTitleSize = 12;
constexpr float kFieldSize = 10; // labels, values and date
constexpr float kPageNumberSize = 8;
constexpr float kFooterSize = 7;
constexpr float kItemSize = 8; // the texts of a picture row
constexpr float kHeaderLeading = 14;
constexpr float kFooterLeading = 10;

constexpr float kTitleRuleWidth = 0.2f;
constexpr float kRowRuleWidth = 0.1f; // above and under the picture rows

// No row, and no line of a row, begins closer to the bottom of the page.
constexpr int kBottomMargin = 50;

// The picture scaled to fit a square of `box` keeping its shape; whole
// points, fractions dropped, never less than one.
QSize fitInBox(QSize shape, int box) {
    const int64_t w = shape.width();
    const int64_t h = shape.height();
    if (h <= w)
        return {box, int(std::max<int64_t>(1, box * h / w))};
    return {int(std::max<int64_t>(1, box * w / h)), box};
}

// Rows of red, green, blue bytes from the top. Transparent parts are laid
// on white paper.
std::vector<HPDF_BYTE> rgbRows(const QImage& argb) {
    const int w = argb.width();
    const int h = argb.height();
    std::vector<HPDF_BYTE> rgb(size_t(w) * size_t(h) * 3);
    HPDF_BYTE* out = rgb.data();
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            const int paper = 255 * (255 - a);
            *out++ = HPDF_BYTE((qRed(p) * a + paper) / 255);
            *out++ = HPDF_BYTE((qGreen(p) * a + paper) / 255);
            *out++ = HPDF_BYTE((qBlue(p) * a + paper) / 255);
        }
    }
    return rgb;
}

SummaryCommand command(SummaryCommand::Kind kind, int page, float x, float y, float x2 = 0,
                       float y2 = 0) {
    SummaryCommand c;
    c.kind = kind;
    c.page = page;
    c.x = x;
    c.y = y;
    c.x2 = x2;
    c.y2 = y2;
    return c;
}

} // namespace

OrderSummary::OrderSummary() = default;

OrderSummary::~OrderSummary() {
    if (m_doc)
        HPDF_Free(m_doc);
}

void OrderSummary::setRowHeight(int rowHeight) {
    m_rowHeight = rowHeight;
    m_pictureBox = rowHeight - 2 * m_innerGap;
}

void OrderSummary::setLeftMargin(int leftMargin) {
    m_leftMargin = leftMargin;
}
void OrderSummary::setTextGap(int textGap) {
    m_textGap = textGap;
}
void OrderSummary::setFooter(const std::string& footer) {
    m_footer = footer;
}
void OrderSummary::setTitle(const std::string& title) {
    m_title = title;
}
void OrderSummary::setCustomer(const std::string& customer) {
    m_customer = customer;
}
void OrderSummary::setOrderNumber(const std::string& orderNumber) {
    m_orderNumber = orderNumber;
}
void OrderSummary::setAmount(float amount) {
    m_amount = amount;
}

void OrderSummary::setDate(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d  ", (t.tm_year + 1900) % 100,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    m_date = text;
}

void OrderSummary::onLibraryError(unsigned long errorNo, unsigned long detailNo, void* userData) {
    auto* summary = static_cast<OrderSummary*>(userData);
    // Later calls on a failed document report the same error again.
    if (summary->m_failed)
        return;
    summary->m_failed = true;
    std::printf("ERROR: error_no=%04X, detail_no=%u\n", unsigned(errorNo), unsigned(detailNo));
    std::fflush(stdout);
}

bool OrderSummary::begin() {
    if (m_doc)
        return false;
    m_doc = HPDF_New(&OrderSummary::onLibraryError, this);
    if (!m_doc) {
        m_failed = true;
        return false;
    }
    HPDF_SetCompressionMode(m_doc, HPDF_COMP_ALL);
    if (m_failed)
        return false;
    // The texts are Windows-1252; the library's default encoding would show
    // its upper half as other characters or none.
    m_font = HPDF_GetFont(m_doc, "Helvetica", "WinAnsiEncoding");
    if (m_failed)
        return false;
    m_pageNumber = 0;
    addPage();
    if (m_failed)
        return false;
    HPDF_Destination start = HPDF_Page_CreateDestination(m_page);
    if (!m_failed)
        HPDF_Destination_SetXYZ(start, 0, HPDF_Page_GetHeight(m_page), 1);
    if (!m_failed)
        HPDF_SetOpenAction(m_doc, start);
    return !m_failed;
}

void OrderSummary::addPage() {
    if (!usable())
        return;
    m_page = HPDF_AddPage(m_doc);
    if (m_failed)
        return;
    HPDF_Page_SetSize(m_page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    m_cursor = kFirstRowTop;
    ++m_pageNumber;
    record(command(SummaryCommand::Kind::Page, m_pageNumber, 0, 0));
    drawHeader();
}

void OrderSummary::drawHeader() {
    if (!usable())
        return;
    const float h = HPDF_Page_GetHeight(m_page);
    const float w = HPDF_Page_GetWidth(m_page);
    const float margin = float(m_leftMargin);

    const float titleWidth = textWidth(m_title, kTitleSize);
    const float titleX = (w - titleWidth) * 0.5f;
    beginText(titleX, h - kTitleTop, kTitleSize, kHeaderLeading);
    showLine(m_title);
    endText();
    drawRule(titleX, h - kTitleRuleTop, titleX + titleWidth, kTitleRuleWidth);

    beginText(margin, h - kFieldsTop, kFieldSize, kHeaderLeading);
    showLine("Customer");
    showLine("Order number");
    showLine("Total amount");
    endText();

    char amount[64];
    std::snprintf(amount, sizeof amount, "$%1.2f", double(m_amount));
    beginText(margin + kValueIndent, h - kFieldsTop, kFieldSize, kHeaderLeading);
    showLine(m_customer);
    showLine(m_orderNumber);
    showLine(amount);
    endText();

    const std::string page = "page " + std::to_string(m_pageNumber);
    beginText(w - margin - textWidth(page, kPageNumberSize), h - kFieldsTop, kPageNumberSize,
              kHeaderLeading);
    showLine(page);
    endText();

    beginText(w - margin - textWidth(m_date, kFieldSize), h - kDateTop, kFieldSize, kHeaderLeading);
    showLine(m_date);
    endText();

    beginText((w - textWidth(m_footer, kFooterSize)) * 0.5f, kFooterBottom, kFooterSize,
              kFooterLeading);
    showLine(m_footer);
    endText();
}

bool OrderSummary::addPicture(const QImage& image, const std::string& fileName,
                              const std::vector<std::string>& itemTexts, QSize shape) {
    if (!usable() || image.isNull())
        return false;
    if (!shape.isValid() || shape.isEmpty())
        shape = image.size();
    const QSize size = fitInBox(shape, m_pictureBox);
    const QImage scaled = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32);
    if (scaled.isNull())
        return false;
    const std::vector<HPDF_BYTE> rgb = rgbRows(scaled);
    HPDF_Image pdfImage = HPDF_LoadRawImageFromMem(m_doc, rgb.data(), HPDF_UINT(size.width()),
                                                   HPDF_UINT(size.height()), HPDF_CS_DEVICE_RGB, 8);
    if (m_failed)
        return false;

    const int h = wholeHeight();
    if (h - m_cursor < m_rowHeight + kBottomMargin)
        addPage();
    const int right = int(HPDF_Page_GetWidth(m_page)) - m_leftMargin;
    drawRule(float(m_leftMargin), float(h - m_cursor), float(right), kRowRuleWidth);

    const int x = m_leftMargin + (m_pictureBox - size.width()) / 2;
    const int y = h - m_cursor - m_pictureBox - m_innerGap + (m_pictureBox - size.height()) / 2;
    if (usable()) {
        record(command(SummaryCommand::Kind::Image, m_pageNumber, float(x), float(y),
                       float(size.width()), float(size.height())));
        HPDF_Page_DrawImage(m_page, pdfImage, float(x), float(y), float(size.width()),
                            float(size.height()));
    }

    if (m_picturesAdded++ == m_faultAfterPictures)
        m_font = nullptr;

    const float textX = float(m_leftMargin + m_pictureBox + m_textGap);
    beginText(textX, float(h - m_cursor - m_innerGap), kItemSize, float(m_leading));
    showLine(fileName);
    int blockHeight = m_innerGap + m_leading;
    bool brokeInRow = false;
    for (size_t i = 0; i < itemTexts.size(); ++i) {
        showLine(itemTexts[i]);
        blockHeight += m_leading;
        // Only a line still to come needs a new page; breaking after the
        // last one would leave a page with nothing but its header.
        const bool more = i + 1 < itemTexts.size();
        if (more && h < m_cursor + kBottomMargin + blockHeight) {
            endText();
            addPage();
            beginText(textX, float(h - m_cursor), kItemSize, float(m_leading));
            blockHeight = 0;
            brokeInRow = true;
        }
    }
    endText();
    blockHeight += 2 * m_innerGap;
    m_cursor += brokeInRow ? blockHeight : std::max(blockHeight, m_rowHeight);
    return usable();
}

void OrderSummary::finish() {
    if (!usable())
        return;
    const int right = int(HPDF_Page_GetWidth(m_page)) - m_leftMargin;
    drawRule(float(m_leftMargin), float(wholeHeight() - m_cursor), float(right), kRowRuleWidth);
}

bool OrderSummary::save(const std::string& path) {
    if (!usable())
        return false;
    // Written under a passing name beside the target and renamed when
    // complete, so a failed write never leaves part of a summary behind.
    const QString target = qtPath(path);
    QTemporaryFile part(QFileInfo(target).absolutePath() + "/.summary-XXXXXX");
    if (!part.open())
        return false;
    part.close();
    const QByteArray partPath = QFile::encodeName(part.fileName());
    HPDF_SaveToFile(m_doc, partPath.constData());
    if (m_failed)
        return false;
    QFile::setPermissions(part.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
    // A rename that replaces a file in the way, as QFile::rename would not.
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(part.fileName().toStdU16String()), ansiPath(path),
                            ec);
    if (ec)
        return false;
    part.setAutoRemove(false);
    return true;
}

void OrderSummary::beginText(float x, float y, float size, float leading) {
    if (!usable())
        return;
    m_textX = x;
    m_textY = y;
    m_textSize = size;
    m_textLeading = leading;
    m_textLine = 0;
    HPDF_Page_BeginText(m_page);
    if (!m_failed)
        HPDF_Page_MoveTextPos(m_page, x, y);
    if (!m_failed)
        HPDF_Page_SetTextLeading(m_page, leading);
    if (!m_failed)
        HPDF_Page_SetFontAndSize(m_page, m_font, size);
}

void OrderSummary::showLine(const std::string& text) {
    if (!usable())
        return;
    if (m_recorder) {
        SummaryCommand line = command(SummaryCommand::Kind::Text, m_pageNumber, m_textX, m_textY);
        line.size = m_textSize;
        line.leading = m_textLeading;
        line.line = m_textLine;
        line.text = text;
        record(std::move(line));
    }
    ++m_textLine;
    HPDF_Page_ShowTextNextLine(m_page, text.c_str());
}

void OrderSummary::endText() {
    if (usable())
        HPDF_Page_EndText(m_page);
}

void OrderSummary::drawRule(float x1, float y, float x2, float width) {
    if (!usable())
        return;
    SummaryCommand rule = command(SummaryCommand::Kind::Line, m_pageNumber, x1, y, x2, y);
    rule.size = width;
    record(std::move(rule));
    HPDF_Page_SetLineWidth(m_page, width);
    if (!m_failed)
        HPDF_Page_MoveTo(m_page, x1, y);
    if (!m_failed)
        HPDF_Page_LineTo(m_page, x2, y);
    if (!m_failed)
        HPDF_Page_Stroke(m_page);
}

float OrderSummary::textWidth(const std::string& text, float size) {
    if (!usable())
        return 0;
    HPDF_Page_SetFontAndSize(m_page, m_font, size);
    return m_failed ? 0 : HPDF_Page_TextWidth(m_page, text.c_str());
}

void OrderSummary::record(SummaryCommand&& command) const {
    if (m_recorder)
        m_recorder->record(std::move(command));
}

int OrderSummary::wholeHeight() const {
    return int(std::lround(HPDF_Page_GetHeight(m_page)));
}

} // namespace quillon
