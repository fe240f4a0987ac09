#pragma once

#include "ui/dialogs/ProductItemDialog.h"

namespace quillon {

// "New product": a product to add to the list, from empty fields.
class CNewProductDlg : public ProductItemDialog {
    Q_OBJECT
public:
    explicit CNewProductDlg(Prompter& prompter, QWidget* parent = nullptr);
};

} // namespace quillon
