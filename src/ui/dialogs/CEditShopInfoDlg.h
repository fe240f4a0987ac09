#pragma once

#include "protocol/ShopInfoMessages.h"

#include <QDialog>
#include <QImage>

class QComboBox;

namespace quillon {

class Prompter;
class ShopDetailsForm;

// "Update shop information": the registered shop's details. OK closes
// only when the texts can be sent as they are typed, the sales tax reads
// and the required fields are filled.
class CEditShopInfoDlg : public QDialog {
    Q_OBJECT
public:
    // `logo` is the decoded logo of `info`, or null.
    CEditShopInfoDlg(const ShopInfo& info, const QImage& logo, Prompter& prompter,
                     QWidget* parent = nullptr);

    // The values after OK, without the logo bytes.
    ShopInfo values() const;
    const QImage& logo() const;
    bool logoChanged() const;

    void accept() override;

private:
    Prompter& m_prompter;
    int32_t m_givenStatus;
    QComboBox* m_shopStatus;
    ShopDetailsForm* m_form;
};

} // namespace quillon
