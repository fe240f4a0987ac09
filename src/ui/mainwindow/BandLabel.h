#pragma once

#include <QColor>
#include <QWidget>

namespace quillon {

// A line of text in one of the window's bands (the system state, the
// clock), with an optional coloured dot before it.
class BandLabel : public QWidget {
    Q_OBJECT
public:
    explicit BandLabel(Qt::Alignment alignment, QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return m_text; }
    // An invalid colour shows no dot.
    void setDot(const QColor& colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Qt::Alignment m_alignment;
    QString m_text;
    QColor m_dot;
};

} // namespace quillon
