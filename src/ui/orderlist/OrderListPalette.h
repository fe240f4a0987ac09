#pragma once

#include <QColor>

namespace quillon::palette {

// The order list's colours, shared with its context menu; all opaque.
inline const QColor kBackgroundTop(0xD2, 0xD2, 0xD2);
inline const QColor kBackgroundBottom(0xF5, 0xF5, 0xF5);
inline const QColor kText(0x1E, 0x1E, 0x1E);
inline const QColor kBorder(0xA0, 0xA0, 0xA0);
inline const QColor kTrackFirst(0xC8, 0xC8, 0xC8);
inline const QColor kTrackSecond(0xEB, 0xEB, 0xEB);
inline const QColor kButtonFirst(0xC8, 0xC8, 0xC8);
inline const QColor kButtonSecond(0xF0, 0xF0, 0xF0);
// Expander boxes, their strokes, thumbnail frames and connector lines.
inline const QColor kTree(0x64, 0x64, 0x64);
// The context menu's highlight of the item under the pointer.
inline const QColor kHighlight(0xB9, 0xD1, 0xEA);

// Selected orders' title rows: a light blue of the same grey family.
inline const QColor kSelectionTop(0xDD, 0xE7, 0xF2);
inline const QColor kSelectionBottom(0xC4, 0xD5, 0xE8);
inline const QColor kSelectionFrame(0x86, 0xA0, 0xBE);
// The status labels, one per status in their order; white text on each.
inline const QColor kStatusColours[] = {
    QColor(0x3A, 0x6E, 0xA5), // new
    QColor(0xB8, 0x7A, 0x0E), // in production
    QColor(0x2E, 0x7D, 0x32), // ready for pick-up
    QColor(0x80, 0x80, 0x80), // picked up
    QColor(0x5E, 0x4F, 0xA2), // shipped
    QColor(0xA8, 0x32, 0x28)  // cancelled
};

} // namespace quillon::palette
