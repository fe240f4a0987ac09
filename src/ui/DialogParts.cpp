#include "ui/DialogParts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace quillon {

QLineEdit* limitedEdit(int limit, const QString& name, QLineEdit::EchoMode echo) {
    auto* edit = new QLineEdit;
    edit->setMaxLength(limit);
    edit->setEchoMode(echo);
    edit->setObjectName(name);
    return edit;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& okText,
                                  const QString& cancelText) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (!okText.isEmpty())
        box->button(QDialogButtonBox::Ok)->setText(okText);
    if (!cancelText.isEmpty())
        box->button(QDialogButtonBox::Cancel)->setText(cancelText);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

void focusField(QWidget* field) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

} // namespace quillon
