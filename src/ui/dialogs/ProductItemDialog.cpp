#include "ui/dialogs/ProductItemDialog.h"

#include "core/FieldRules.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace quillon {

ProductItemDialog::ProductItemDialog(const QString& title, const ProductItem* item,
                                     Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_code(limitedEdit(32, "code")),
      m_price(limitedEdit(32, "price")),
      m_description(limitedEdit(kProductDescriptionLimit, "description")) {
    setWindowTitle(title);
    if (item) {
        m_item = *item;
        m_code->setText(QString::number(item->code));
        m_price->setText(editableNumber(item->price));
        m_description->setText(toQString(item->description));
    }
    const int digits = m_code->fontMetrics().horizontalAdvance("0000000000");
    m_code->setFixedWidth(digits);
    m_price->setFixedWidth(digits);
    m_description->setMinimumWidth(4 * digits);

    auto* form = new QFormLayout;
    form->addRow("Code", m_code);
    form->addRow("Price", m_price);
    form->addRow("Description:", m_description);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(*this));
}

void ProductItemDialog::accept() {
    if (!acceptTypedText(m_prompter, {m_description}))
        return;
    ProductFieldsCheck check =
        checkProductFields(m_code->text(), m_price->text(), m_description->text());
    if (!check.item) {
        m_prompter.showMessage(fromQString(check.prompt));
        focusField(check.field == ProductField::Code ? m_code : m_price);
        return;
    }
    m_item = *check.item;
    QDialog::accept();
}

} // namespace quillon
