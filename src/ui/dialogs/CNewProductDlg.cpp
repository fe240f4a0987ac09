#include "ui/dialogs/CNewProductDlg.h"

namespace quillon {

CNewProductDlg::CNewProductDlg(Prompter& prompter, QWidget* parent)
    : ProductItemDialog("New product", nullptr, prompter, parent) {}

} // namespace quillon
