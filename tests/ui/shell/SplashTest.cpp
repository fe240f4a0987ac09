// The start-up splash: its fade-in, and when it closes.
#include "ui/shell/SplashWindow.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Ticks until the animation has ended; the number of ticks taken.
int runAnimation(SplashWindow& s) {
    int ticks = 0;
    while (!s.fade().finished() && ticks < 1000) {
        s.tick();
        ++ticks;
    }
    return ticks;
}

} // namespace

TEST(Splash, ClosesWhenTheAnimationHasEnded) {
    SplashWindow splash;
    QSignalSpy closed(&splash, &SplashWindow::closed);
    splash.show();
    splash.tick();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(runAnimation(splash), 4 * 11 + 22 - 1);
    EXPECT_EQ(std::tuple(closed.count(), splash.isVisible()), std::tuple(1, false));
    splash.tick();
    EXPECT_EQ(closed.count(), 1);
}
