#pragma once

#include <QImage>
#include <QSize>
#include <ctime>
#include <string>
#include <vector>

struct _HPDF_Doc_Rec;
struct _HPDF_Dict_Rec;

namespace quillon {

class SummaryRecorder;
struct SummaryCommand;

// The PDF summary of one order: a header on every page, then one row per
// picture with a small copy of it and its item lines. Any library error
// abandons this summary (and only this one): nothing more is drawn and
// nothing can be saved.
class OrderSummary {
public:
    // The layout of a page, in points (the shop's summaries use these).
    static constexpr int kRowHeight = 78;    // a picture row at the least
    static constexpr int kLeftMargin = 70;   // the right margin too
    static constexpr int kTextGap = 20;      // between the picture box and its text
    static constexpr int kFirstRowTop = 100; // below the page header

    OrderSummary();
    ~OrderSummary();
    // The library reports errors with a pointer to this object.
    OrderSummary(const OrderSummary&) = delete;
    OrderSummary& operator=(const OrderSummary&) = delete;

    // The picture box becomes row height - 2 x inner gap.
    void setRowHeight(int rowHeight);
    void setLeftMargin(int leftMargin);
    void setTextGap(int textGap);
    void setFooter(const std::string& footer);
    void setTitle(const std::string& title);
    void setCustomer(const std::string& customer);
    void setOrderNumber(const std::string& orderNumber);
    void setAmount(float amount);
    // "%02d.%02d.%02d %02d:%02d  " of the given local time.
    void setDate(const std::tm& localTime);

    // New document, first page with its header. False when the library
    // failed.
    bool begin();
    // One row. `shape`, when valid, is the size of the picture that `image`
    // was reduced from, so a reduced copy is laid out like the full one.
    // False when there is no document or the summary has failed.
    bool addPicture(const QImage& image, const std::string& fileName,
                    const std::vector<std::string>& itemTexts, QSize shape = {});
    // The rule under the last row.
    void finish();
    // Writes the document; true when the whole file was written. A failed
    // write leaves no file behind.
    bool save(const std::string& path);

    bool failed() const { return m_failed; }
    int cursor() const { return m_cursor; }
    int pageNumber() const { return m_pageNumber; }

    // Optional observer of every drawing step; not owned.
    void setRecorder(SummaryRecorder* recorder) { m_recorder = recorder; }
    // Test seam: once this many pictures have been added, the next text
    // drawn is given an invalid font, so the library reports an error.
    void setFaultAfterPictures(int pictures) { m_faultAfterPictures = pictures; }

private:
    static void onLibraryError(unsigned long errorNo, unsigned long detailNo, void* userData);

    bool usable() const { return m_doc && !m_failed; }
    void addPage();
    void drawHeader();
    void beginText(float x, float y, float size, float leading);
    void showLine(const std::string& text);
    void endText();
    void drawRule(float x1, float y, float x2, float width);
    float textWidth(const std::string& text, float size);
    void record(SummaryCommand&& command) const;
    int wholeHeight() const;

    _HPDF_Doc_Rec* m_doc = nullptr;
    _HPDF_Dict_Rec* m_font = nullptr;
    _HPDF_Dict_Rec* m_page = nullptr;
    bool m_failed = false;

    int m_leading = 12;
    int m_innerGap = 4;
    int m_rowHeight = kRowHeight;
    int m_pictureBox = kRowHeight - 2 * m_innerGap;
    int m_leftMargin = kLeftMargin;
    int m_textGap = kTextGap;
    int m_cursor = kFirstRowTop;
    int m_pageNumber = 1;

    std::string m_orderNumber;
    std::string m_customer;
    std::string m_title;
    std::string m_footer;
    std::string m_date;
    float m_amount = 0.0f;

    // The text object being drawn.
    float m_textX = 0;
    float m_textY = 0;
    float m_textSize = 0;
    float m_textLeading = 0;
    int m_textLine = 0;

    SummaryRecorder* m_recorder = nullptr;
    int m_faultAfterPictures = -1;
    int m_picturesAdded = 0;
};

} // namespace quillon
