#pragma once

#include <QRect>
#include <QSize>

namespace quillon {

// The main window's bands, top to bottom: menu bar, state label, the main
// area (status lines | splitter | order list), the transfer list and the
// clock.
struct WindowBands {
    QRect menu;
    QRect state;
    QRect statusLines;
    QRect splitter;
    QRect grip;
    QRect orderList;
    QRect transfers;
    QRect clock;
};

struct MainWindowLayout {
    static constexpr int kMenuBand = 26;
    static constexpr int kStateBand = 20;
    static constexpr int kClockBand = 26;
    static constexpr int kSplitterWidth = 4;
    static constexpr int kGripHeight = 40;
    static constexpr int kMinimumPane = 120;
    static constexpr int kInitialStatusWidth = 380;

    // The bands of a client area of `client` (never laid out smaller than
    // `minimum`) with the splitter's left edge at `splitterX`. The transfer
    // list takes a quarter of the height between the menu and clock bands.
    static WindowBands bands(QSize client, QSize minimum, int splitterX);
    // Where a dragged splitter may go: both panes keep at least 120 pixels.
    static int clampSplitter(int x, int clientWidth);
};

} // namespace quillon
