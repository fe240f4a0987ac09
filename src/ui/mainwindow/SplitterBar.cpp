#include "ui/mainwindow/SplitterBar.h"

#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/WindowStyle.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillon {

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SizeHorCursor);
    setAccessibleName(QStringLiteral("Splitter"));
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), WindowStyle::bandBackground());
    p.setPen(WindowStyle::bandLine());
    p.drawLine(0, 0, 0, height());
    p.drawLine(width() - 1, 0, width() - 1, height());
    // The grip: three short dots in the middle 40 pixels.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(WindowStyle::mutedText());
    const int top = (height() - MainWindowLayout::kGripHeight) / 2;
    for (int k = 0; k < 3; ++k)
        p.drawEllipse(QPointF(width() / 2.0, top + 12 + k * 8), 1.2, 1.2);
}

void SplitterBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        m_grab = int(e->position().x());
}

void SplitterBar::mouseMoveEvent(QMouseEvent* e) {
    if (m_grab >= 0 && (e->buttons() & Qt::LeftButton))
        emit dragged(mapToParent(e->position().toPoint()).x() - m_grab);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent*) {
    m_grab = -1;
}

} // namespace quillon
