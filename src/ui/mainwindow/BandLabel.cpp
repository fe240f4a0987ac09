#include "ui/mainwindow/BandLabel.h"

#include "ui/mainwindow/WindowStyle.h"

#include <QPainter>

namespace quillon {

BandLabel::BandLabel(Qt::Alignment alignment, QWidget* parent)
    : QWidget(parent), m_alignment(alignment) {
    setFont(WindowStyle::bandFont());
}

void BandLabel::setText(const QString& text) {
    m_text = text;
    setAccessibleName(text);
    update();
}

void BandLabel::setDot(const QColor& colour) {
    m_dot = colour;
    update();
}

void BandLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int margin = 10, dot = 8, gap = 6;
    const int textWidth = fontMetrics().horizontalAdvance(m_text);
    const int wanted = textWidth + (m_dot.isValid() ? dot + gap : 0);
    int x = m_alignment & Qt::AlignRight ? width() - margin - wanted : margin;
    if (m_dot.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(m_dot);
        p.drawEllipse(QRectF(x, (height() - dot) / 2.0, dot, dot));
        x += dot + gap;
    }
    p.setPen(WindowStyle::text());
    p.drawText(QRect(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, m_text);
}

} // namespace quillon
