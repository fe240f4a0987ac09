#pragma once

#include "protocol/ProductItem.h"

#include <QDialog>

class QLineEdit;

namespace quillon {

class Prompter;

// The three fields of one product, as "New product" and "Edit product
// details" edit them: OK reads them and refuses a value that does not
// read or lies outside its range, keeping the dialog open.
class ProductItemDialog : public QDialog {
    Q_OBJECT
public:
    // The values after OK.
    const ProductItem& item() const { return m_item; }

    void accept() override;

protected:
    // Empty fields without an item.
    ProductItemDialog(const QString& title, const ProductItem* item, Prompter& prompter,
                      QWidget* parent);

private:
    Prompter& m_prompter;
    ProductItem m_item;
    QLineEdit* m_code;
    QLineEdit* m_price;
    QLineEdit* m_description;
};

} // namespace quillon
