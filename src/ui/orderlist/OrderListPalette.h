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

} // namespace quillon::palette
