#pragma once

#include <QString>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace quillon {

// One of the shop's 8-bit texts shown in an editor. When the editor still
// shows what it was given, the original bytes come back unchanged, so a
// value the editor cannot hold exactly (longer than its limit, CR LF line
// ends) is not altered by merely pressing OK.
class EditedText {
public:
    void show(QLineEdit* edit, const std::string& value);
    void show(QPlainTextEdit* edit, const std::string& value);
    std::string text() const;

private:
    QString current() const;

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    std::string m_original;
    QString m_shown;
};

} // namespace quillon
