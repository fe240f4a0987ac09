#pragma once

#include "protocol/ShopInfoMessages.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/EditedText.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace quillon {

class Prompter;

// The fields that "Shop setup" and "Update shop information" share, laid
// out in the dialog's four-column grid, with the "PayPal setup" button and
// the PayPal e-mail and logo that it edits.
class ShopDetailsForm : public QObject {
    Q_OBJECT
public:
    // Adds its rows to `grid` from `firstRow` on; `dialog` owns it.
    ShopDetailsForm(QGridLayout* grid, int firstRow, Prompter& prompter, QWidget* dialog);

    void setValues(const ShopInfo& info, const QImage& logo);
    // Every field but the shop status and the logo bytes; the sales tax as
    // its float bits (0 when it does not read). A choice index the lists do
    // not know goes back as it was set.
    ShopInfo values() const;
    const QImage& logo() const { return m_logo; }
    // A new logo was chosen in "PayPal setup" since the form was filled.
    bool logoChanged() const { return m_logoChanged; }

    // The edits whose texts are sent as 8-bit text.
    std::vector<TypedEdit> typedEdits() const;
    // The sales tax must be a percent from 0 to 100; otherwise the prompt is
    // shown, the field takes the focus and the answer is false.
    bool checkSalesTax();
    // Gives the focus to the edit of a text value of ShopInfo.
    void focus(std::string ShopInfo::*field);

private:
    void payPalSetup();
    void paymentTypeChanged(int index);

    QWidget* m_dialog;
    Prompter& m_prompter;
    struct TextEdit {
        std::string ShopInfo::*member;
        QLineEdit* edit;
        EditedText text;
    };
    std::vector<TextEdit> m_edits;
    QComboBox* m_currency;
    QComboBox* m_restriction;
    QComboBox* m_paymentType;
    QPushButton* m_payPalSetup;
    QLineEdit* m_salesTax;
    ShopInfo m_given;
    QString m_payPal;
    QImage m_logo;
    bool m_logoChanged = false;
};

} // namespace quillon
