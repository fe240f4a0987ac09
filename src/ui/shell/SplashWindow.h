#pragma once

#include "ui/shell/SplashFade.h"

#include <QTimer>
#include <QWidget>

namespace quillon {

// The start-up splash: borderless, on top, centred on the screen, dark,
// with five elements fading in. It closes when the animation has ended, or
// at a left click; the order database goes on loading behind it.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(int tickMs = SplashFade::kTickMs, QWidget* parent = nullptr);

    // Shows the splash and starts the animation.
    void start();
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

    SplashFade m_fade;
    QTimer m_timer;
    bool m_closed = false;
};

} // namespace quillon
