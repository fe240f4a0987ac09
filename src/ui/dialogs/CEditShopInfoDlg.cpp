#include "ui/dialogs/CEditShopInfoDlg.h"

#include "core/ShopFields.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/ShopDetailsForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quillon {

CEditShopInfoDlg::CEditShopInfoDlg(const ShopInfo& info, const QImage& logo, Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_givenStatus(info.shopStatus),
      m_shopStatus(new QComboBox) {
    setWindowTitle("Update shop information");
    m_shopStatus->addItems(shopStatusChoices());
    m_shopStatus->setObjectName("shopStatus");
    m_shopStatus->setCurrentIndex(info.shopStatus);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Shop status"), 0, 0);
    grid->addWidget(m_shopStatus, 0, 1);
    m_form = new ShopDetailsForm(grid, 1, prompter, this);
    m_form->setValues(info, logo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(okCancelButtons(*this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ShopInfo CEditShopInfoDlg::values() const {
    ShopInfo info = m_form->values();
    info.shopStatus = chosenIndex(*m_shopStatus, m_givenStatus);
    return info;
}

const QImage& CEditShopInfoDlg::logo() const {
    return m_form->logo();
}

bool CEditShopInfoDlg::logoChanged() const {
    return m_form->logoChanged();
}

void CEditShopInfoDlg::accept() {
    if (!acceptTypedText(m_prompter, m_form->typedEdits()) || !m_form->checkSalesTax())
        return;
    if (auto missing = missingShopField(values())) {
        m_prompter.showMessage(fromQString(missing->message));
        m_form->focus(missing->field);
        return;
    }
    QDialog::accept();
}

} // namespace quillon
