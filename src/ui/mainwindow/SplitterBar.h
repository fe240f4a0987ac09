#pragma once

#include <QWidget>

namespace quillon {

// The 4-pixel bar between the status lines and the order list, with its
// grip in the middle 40 pixels. A drag with the left button reports where
// the bar's left edge should go, in the parent's coordinates.
class SplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit SplitterBar(QWidget* parent = nullptr);

signals:
    void dragged(int left);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int m_grab = -1; // where in the bar the drag took hold
};

} // namespace quillon
