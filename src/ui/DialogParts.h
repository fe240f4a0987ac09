#pragma once

#include <QLineEdit>
#include <QString>

namespace quillon {

// Edits of the account dialogs.

// An edit that takes at most `limit` characters; tests find it by `name`.
QLineEdit* limitedEdit(int limit, const QString& name,
                       QLineEdit::EchoMode echo = QLineEdit::Normal);

// The Shop ID edit of the login and confirmation dialogs, wide enough for a
// whole Shop ID.
QLineEdit* shopIdEdit();

// Focuses an edit and selects its text, so the user can type over it.
void focusField(QWidget* field);

} // namespace quillon
