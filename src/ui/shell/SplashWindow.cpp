#include "ui/shell/SplashWindow.h"

#include "ui/shell/ProgramIcon.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace quillon {

namespace {

QFont sized(int pixels, QFont::Weight weight = QFont::Normal) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

} // namespace

SplashWindow::SplashWindow(int tickMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setFixedSize(520, 300);
    setAccessibleName(QStringLiteral("Quillon is starting"));
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &SplashWindow::tick);
}

void SplashWindow::start() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    m_timer.start();
}

void SplashWindow::tick() {
    if (m_fade.finished())
        return;
    m_fade.tick();
    update();
    if (m_fade.finished()) {
        m_timer.stop();
        emit animationEnded();
        finish();
    }
}

void SplashWindow::finish() {
    if (m_closed)
        return;
    m_closed = true;
    m_timer.stop();
    close();
    emit closed();
}

void SplashWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        finish();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // 0x1F1C1D as a GDI colour reference is blue 1F, green 1C, red 1D.
    p.fillRect(rect(), QColor(0x1D, 0x1C, 0x1F));
    auto fadeIn = [&](int element) { p.setOpacity(m_fade.opacity(element) / 255.0); };
    auto write = [&](const QRect& box, const QFont& font, const QColor& colour, Qt::Alignment align,
                     const QString& text) {
        p.setPen(colour);
        p.setFont(font);
        p.drawText(box, align | Qt::AlignVCenter, text);
    };
    const QColor light(0xB8, 0xBC, 0xC4), dim(0x8A, 0x8F, 0x98);

    fadeIn(0);
    paintProgramIcon(p, QRectF(44, 64, 88, 88));
    fadeIn(1);
    write(QRect(156, 62, 330, 56), sized(44, QFont::Bold), Qt::white, Qt::AlignLeft,
          QStringLiteral("Quillon"));
    fadeIn(2);
    write(QRect(158, 118, 330, 28), sized(17), light, Qt::AlignLeft,
          QStringLiteral("Velorin Photo Network"));
    fadeIn(3);
    QLinearGradient accent(44, 0, 476, 0);
    accent.setColorAt(0, QColor(0x3B, 0x82, 0xC4));
    accent.setColorAt(1, QColor(0x3B, 0x82, 0xC4, 0));
    p.fillRect(QRectF(44, 184, 432, 2), accent);
    write(QRect(44, 196, 300, 20), sized(13), dim, Qt::AlignLeft, QStringLiteral("Version 1.0"));
    fadeIn(4);
    write(QRect(296, 232, 180, 18), sized(12), dim, Qt::AlignRight, QStringLiteral("Powered by"));
    write(QRect(296, 250, 180, 28), sized(20, QFont::DemiBold), Qt::white, Qt::AlignRight,
          QStringLiteral("Tarvex"));
}

} // namespace quillon
