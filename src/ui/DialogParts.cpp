#include "ui/DialogParts.h"

namespace quillon {

QLineEdit* limitedEdit(int limit, const QString& name, QLineEdit::EchoMode echo) {
    auto* edit = new QLineEdit;
    edit->setMaxLength(limit);
    edit->setEchoMode(echo);
    edit->setObjectName(name);
    return edit;
}

QLineEdit* shopIdEdit() {
    QLineEdit* edit = limitedEdit(32, "shopId");
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(34, QChar(u'D'))));
    return edit;
}

void focusField(QWidget* field) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace quillon
