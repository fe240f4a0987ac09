#include "ui/dialogs/DialogParts.h"

#include "core/FieldRules.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace quillon {

namespace {

QString labelOf(QWidget* field) {
    for (QLabel* label : field->window()->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label->text();
    return {};
}

} // namespace

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

int chosenIndex(const QComboBox& box, int given) {
    return box.currentIndex() >= 0 ? box.currentIndex() : given;
}

void focusField(QWidget* field) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

void refuseField(Prompter& prompter, QWidget* field, const QString& message, qsizetype position,
                 qsizetype length) {
    prompter.showMessage(fromQString(message));
    if (length < 0) {
        focusField(field);
    } else if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->setFocus();
        edit->setSelection(int(position), int(length));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
        plain->setFocus();
        QTextCursor cursor = plain->textCursor();
        cursor.setPosition(int(position));
        cursor.setPosition(int(position + length), QTextCursor::KeepAnchor);
        plain->setTextCursor(cursor);
    }
}

bool acceptTypedText(Prompter& prompter, const std::vector<TypedEdit>& edits) {
    std::vector<TypedField> fields;
    for (const TypedEdit& e : edits) {
        TypedField field{e.name.isEmpty() ? labelOf(e.edit) : e.name, {}, false};
        if (auto* line = qobject_cast<QLineEdit*>(e.edit)) {
            field.text = line->text();
            field.masked = line->echoMode() != QLineEdit::Normal;
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(e.edit)) {
            field.text = plain->toPlainText();
        }
        fields.push_back(std::move(field));
    }
    const auto refusal = foreignTextField(fields);
    if (!refusal)
        return true;
    refuseField(prompter, edits[refusal->field].edit, refusal->message, refusal->position,
                refusal->length);
    return false;
}

} // namespace quillon
