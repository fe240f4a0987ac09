#include "ui/orderlist/OrderListFonts.h"

#include "orders/QtText.h"

#include <QFontMetricsF>
#include <string>

namespace quillon {

OrderListFonts::Face::Face(int pixelSize, bool bold) : font(QStringLiteral("Arial")) {
    // Where Arial is missing the desktop's sans-serif stands in.
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(font);
    height = metrics.lineSpacing();
    ascent = metrics.ascent();
    for (int byte = 1; byte < 256; ++byte)
        advance[size_t(byte)] = metrics.horizontalAdvance(toQString(std::string(1, char(byte))));
}

qreal OrderListFonts::Face::width(std::string_view ansi) const {
    qreal sum = 0;
    for (char c : ansi)
        sum += advance[static_cast<unsigned char>(c)];
    return sum;
}

OrderListFonts::OrderListFonts(bool large)
    : m_large(large), m_bold(large ? 16 : 14, true), m_regular(large ? 14 : 12, false) {}

} // namespace quillon
