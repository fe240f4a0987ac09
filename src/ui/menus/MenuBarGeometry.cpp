#include "ui/menus/MenuBarGeometry.h"

namespace quillon {

QRect MenuBarGeometry::titleRect(int menu) {
    return QRect(kFirstTitleX + menu * (kTitleWidth + kTitleGap), kTitleTop, kTitleWidth,
                 kTitleBottom - kTitleTop);
}

QRect MenuBarGeometry::dropDownRect(int menu, int width, int itemCount) {
    return QRect(titleRect(menu).left(), kTitleBottom, width,
                 2 * kDropDownPadding + itemCount * kItemHeight);
}

QRect MenuBarGeometry::itemRect(int menu, int width, int item) {
    return QRect(titleRect(menu).left(), kTitleBottom + kDropDownPadding + item * kItemHeight,
                 width, kItemHeight);
}

int MenuBarGeometry::titleAt(QPoint p, int menuCount) {
    for (int m = 0; m < menuCount; ++m)
        if (titleRect(m).contains(p))
            return m;
    return -1;
}

int MenuBarGeometry::itemAt(QPoint p, int menu, int width, int itemCount) {
    for (int i = 0; i < itemCount; ++i)
        if (itemRect(menu, width, i).contains(p))
            return i;
    return -1;
}

} // namespace quillon
