#pragma once

#include "ui/dialogs/ProductItemDialog.h"

namespace quillon {

// "Edit product details": the code, price and description of a product.
class CEditProductDlg : public ProductItemDialog {
    Q_OBJECT
public:
    CEditProductDlg(const ProductItem& item, Prompter& prompter, QWidget* parent = nullptr);
};

} // namespace quillon
