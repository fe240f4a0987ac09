#include "ui/mainwindow/MainWindowLayout.h"

#include <algorithm>

namespace quillon {

WindowBands MainWindowLayout::bands(QSize client, QSize minimum, int splitterX) {
    const int w = std::max(client.width(), minimum.width());
    const int h = std::max(client.height(), minimum.height());
    WindowBands b;
    b.menu = QRect(0, 0, w, kMenuBand);
    b.state = QRect(0, kMenuBand, w, kStateBand);
    const int transferHeight = (h - kMenuBand - kClockBand) / 4;
    b.clock = QRect(0, h - kClockBand, w, kClockBand);
    b.transfers = QRect(0, b.clock.top() - transferHeight, w, transferHeight);
    const int top = b.state.bottom() + 1;
    const int mainHeight = std::max(0, b.transfers.top() - top);
    const int x = clampSplitter(splitterX, w);
    b.statusLines = QRect(0, top, x, mainHeight);
    b.splitter = QRect(x, top, kSplitterWidth, mainHeight);
    b.grip = QRect(x, top + (mainHeight - kGripHeight) / 2, kSplitterWidth, kGripHeight);
    b.orderList = QRect(x + kSplitterWidth, top, w - x - kSplitterWidth, mainHeight);
    return b;
}

int MainWindowLayout::clampSplitter(int x, int clientWidth) {
    return std::max(kMinimumPane, std::min(x, clientWidth - kSplitterWidth - kMinimumPane));
}

} // namespace quillon
