#pragma once

#include <QPoint>
#include <QRect>

namespace quillon {

// Where the menu bar draws its titles, drop-downs and items, in logical
// pixels of the menu bar (whose top-left is the window's). Hit tests use
// the same rectangles as the painting.
struct MenuBarGeometry {
    static constexpr int kBandHeight = 26;
    static constexpr int kTitleWidth = 56;
    static constexpr int kTitleTop = 4;
    static constexpr int kTitleBottom = 24;
    static constexpr int kFirstTitleX = 4;
    static constexpr int kTitleGap = 8;
    static constexpr int kItemHeight = 22;
    static constexpr int kDropDownPadding = 3;

    static QRect titleRect(int menu);
    // The drop-down hangs from the bottom of its title box.
    static QRect dropDownRect(int menu, int width, int itemCount);
    static QRect itemRect(int menu, int width, int item);
    // -1 when no title is there.
    static int titleAt(QPoint p, int menuCount);
    // -1 when no item of the open drop-down is there.
    static int itemAt(QPoint p, int menu, int width, int itemCount);
};

} // namespace quillon
