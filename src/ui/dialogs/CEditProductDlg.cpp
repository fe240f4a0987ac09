#include "ui/dialogs/CEditProductDlg.h"

namespace quillon {

CEditProductDlg::CEditProductDlg(const ProductItem& item, Prompter& prompter, QWidget* parent)
    : ProductItemDialog("Edit product details", &item, prompter, parent) {}

} // namespace quillon
