#pragma once

#include "ui/shell/SplashFade.h"

#include <QTimer>
#include <QWidget>

namespace quillon {

// The start-up splash: borderless, on top, centred on the screen, dark,
// with five elements fading in while the order database loads. It closes
// when both the load and the animation have ended, or at a left click.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(int tickMs = SplashFade::kTickMs, QWidget* parent = nullptr);

    // Shows the splash and starts the animation.
    void start();
    // The order database is loaded.
    void loadEnded();
    // One step of the animation (the timer's tick).
    void tick();
    bool isClosed() const { return m_closed; }
    const SplashFade& fade() const { return m_fade; }

signals:
    // The last element is fully shown.
    void animationEnded();
    // Emitted once, when the splash has closed.
    void closed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void finish();
    void maybeFinish();

    SplashFade m_fade;
    QTimer m_timer;
    bool m_loadEnded = false;
    bool m_closed = false;
};

} // namespace quillon
