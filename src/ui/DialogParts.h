#pragma once

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QString>

class QDialog;

namespace quillon {

// Pieces the account dialogs share.

// An edit that takes at most `limit` characters; tests find it by `name`.
QLineEdit* limitedEdit(int limit, const QString& name,
                       QLineEdit::EchoMode echo = QLineEdit::Normal);

// OK and Cancel wired to the dialog's accept() and reject(); other texts
// on request (for example "Send" and "Exit").
QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& okText = {},
                                  const QString& cancelText = {});

// Focuses an edit and selects its text, so the user can type over it.
void focusField(QWidget* field);

} // namespace quillon
