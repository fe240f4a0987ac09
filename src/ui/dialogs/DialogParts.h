#pragma once

#include <QLineEdit>
#include <QString>
#include <vector>

class QComboBox;

namespace quillon {

class Prompter;

// Edits of the dialogs, and how OK refuses what they hold.

// An edit that takes at most `limit` characters; tests find it by `name`.
QLineEdit* limitedEdit(int limit, const QString& name,
                       QLineEdit::EchoMode echo = QLineEdit::Normal);

// The Shop ID edit of the login and confirmation dialogs, wide enough for a
// whole Shop ID.
QLineEdit* shopIdEdit();

// The choice a list shows, or `given` while it shows none: an index the
// list does not know goes back as it came.
int chosenIndex(const QComboBox& box, int given);

// Focuses an edit and selects its text, so the user can type over it.
void focusField(QWidget* field);

// Tells the shop why a field is refused, then focuses it with its text
// selected, or only the `length` characters from `position` when given.
void refuseField(Prompter& prompter, QWidget* field, const QString& message, qsizetype position = 0,
                 qsizetype length = -1);

// A line or multi-line edit whose text is stored or sent as 8-bit text. It
// is named after the label it is the buddy of, unless `name` is given.
struct TypedEdit {
    TypedEdit(QWidget* edit, QString name = {}) : edit(edit), name(std::move(name)) {}
    QWidget* edit;
    QString name;
};
// For OK: refuses the first edit that holds a character the 8-bit texts
// cannot keep, naming it, and selects that character. True when none does,
// so their texts can be taken as they are.
bool acceptTypedText(Prompter& prompter, const std::vector<TypedEdit>& edits);

} // namespace quillon
