#include "ui/mainwindow/StatusLinesPane.h"

#include "orders/QtText.h"

#include <QScrollBar>

namespace quillon {

StatusLinesPane::StatusLinesPane(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFrameShape(QFrame::NoFrame);
    setAccessibleName(QStringLiteral("System status lines"));
    QFont lines(QStringLiteral("Arial"));
    lines.setPixelSize(12);
    setFont(lines);
    document()->setDocumentMargin(6);
}

void StatusLinesPane::setLines(const std::vector<std::string>& lines) {
    clear();
    for (const std::string& line : lines)
        addLine(toQString(line));
}

void StatusLinesPane::addLine(const QString& line) {
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    appendPlainText(line);
    if (atEnd)
        bar->setValue(bar->maximum());
}

QStringList StatusLinesPane::lines() const {
    const QString all = toPlainText();
    return all.isEmpty() ? QStringList{} : all.split(QLatin1Char('\n'));
}

} // namespace quillon
