#pragma once

#include <QColor>
#include <QFont>

namespace quillon {

// The calm palette and the font of the window's bands, shared by the
// widgets that paint them.
struct WindowStyle {
    static QColor bandBackground() { return QColor(0xF3, 0xF4, 0xF6); }
    static QColor bandLine() { return QColor(0xD5, 0xD9, 0xDF); }
    static QColor text() { return QColor(0x1F, 0x29, 0x33); }
    static QColor mutedText() { return QColor(0x9A, 0xA1, 0xAB); }
    static QColor hover() { return QColor(0xE2, 0xE6, 0xEB); }
    static QColor openTitle() { return QColor(0xDB, 0xE6, 0xF6); }
    static QColor openTitleLine() { return QColor(0xA8, 0xBE, 0xE0); }
    static QColor highlight() { return QColor(0x2F, 0x6F, 0xD0); }
    static QColor online() { return QColor(0x1E, 0x9E, 0x4A); }
    static QColor offline() { return QColor(0xC2, 0x41, 0x2D); }
    // Liberation Sans stands in for Arial, whose metrics the bands were
    // laid out for.
    static QFont bandFont() {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(13);
        return f;
    }
};

} // namespace quillon
