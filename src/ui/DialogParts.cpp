#include "ui/DialogParts.h"

namespace quillon {

QLineEdit* limitedEdit(int limit, const QString& name, QLineEdit::EchoMode echo) {
    auto* edit = new QLineEdit;
    edit->setMaxLength(limit);
    edit->setEchoMode(echo);
    edit->setObjectName(name);
    return edit;
}

void focusField(QWidget* field) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace quillon
