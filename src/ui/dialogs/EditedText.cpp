#include "ui/dialogs/EditedText.h"

#include "orders/QtText.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace quillon {

void EditedText::show(QLineEdit* edit, const std::string& value) {
    m_line = edit;
    m_original = value;
    edit->setText(toQString(value));
    m_shown = current();
}

void EditedText::show(QPlainTextEdit* edit, const std::string& value) {
    m_plain = edit;
    m_original = value;
    edit->setPlainText(toQString(value));
    m_shown = current();
}

std::string EditedText::text() const {
    const QString now = current();
    return now == m_shown ? m_original : fromQString(now);
}

QString EditedText::current() const {
    if (m_line)
        return m_line->text();
    return m_plain ? m_plain->toPlainText() : QString();
}

} // namespace quillon
