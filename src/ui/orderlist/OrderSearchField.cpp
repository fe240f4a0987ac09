#include "ui/orderlist/OrderSearchField.h"

#include <QKeyEvent>
#include <QShortcut>

namespace quillon {

OrderSearchField::OrderSearchField(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QStringLiteral("Find order"));
    setFixedSize(kWidth, kHeight);
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
    });
}

void OrderSearchField::showClearButton() {
    if (!isClearButtonEnabled())
        setClearButtonEnabled(true);
}

void OrderSearchField::focusInEvent(QFocusEvent* event) {
    showClearButton();
    QLineEdit::focusInEvent(event);
    emit opened();
}

void OrderSearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Escape in the window would close it.
    event->accept();
    clear();
    emit dismissed();
}

} // namespace quillon
