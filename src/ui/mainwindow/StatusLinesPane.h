#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace quillon {

// The system status lines, oldest first. A new line keeps the pane at its
// end when it was there, so a reader scrolled back is not pulled away.
class StatusLinesPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit StatusLinesPane(QWidget* parent = nullptr);
    void setLines(const std::vector<std::string>& lines);
    void addLine(const QString& line);
    QStringList lines() const;
};

} // namespace quillon
