#pragma once

#include <QFont>
#include <array>
#include <string_view>

namespace quillon {

// The order list's two fonts, in pixel units, and the widths of the shop's
// 8-bit texts in them. The list draws without kerning or ligatures, so a
// text's width is the sum of its characters' advances: the width of a long
// list is known without laying out a single text.
class OrderListFonts {
public:
    explicit OrderListFonts(bool large = false);

    bool large() const { return m_large; }
    const QFont& bold() const { return m_bold.font; }
    const QFont& regular() const { return m_regular.font; }
    // Line heights: B and R of the row layout.
    qreal boldHeight() const { return m_bold.height; }
    qreal regularHeight() const { return m_regular.height; }
    qreal boldAscent() const { return m_bold.ascent; }
    qreal regularAscent() const { return m_regular.ascent; }

    qreal boldWidth(std::string_view ansi) const { return m_bold.width(ansi); }
    qreal regularWidth(std::string_view ansi) const { return m_regular.width(ansi); }

private:
    struct Face {
        Face(int pixelSize, bool bold);
        qreal width(std::string_view ansi) const;
        QFont font;
        qreal height = 0;
        qreal ascent = 0;
        std::array<qreal, 256> advance{}; // per Windows-1252 byte
    };

    bool m_large;
    Face m_bold;
    Face m_regular;
};

} // namespace quillon
