#include "ui/dialogs/ShopDetailsForm.h"

#include "core/FieldRules.h"
#include "core/ShopFields.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CPayPalSetupDlg.h"
#include "ui/dialogs/DialogParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace quillon {

namespace {

struct TextField {
    const char* label;
    int limit;
    std::string ShopInfo::*member;
    int row;    // below the first row of the form
    int column; // 0 left, 1 right; -1 across both
};

const TextField kTextFields[] = {
    {"Street address", 250, &ShopInfo::streetAddress, 0, -1},
    {"City", 30, &ShopInfo::city, 1, 0},
    {"Country", 30, &ShopInfo::country, 1, 1},
    {"Zip/Postal code", 30, &ShopInfo::zipCode, 2, 0},
    {"* Primary contact", 30, &ShopInfo::primaryContact, 2, 1},
    {"* Email 1", 30, &ShopInfo::email1, 3, 0},
    {"Email 2", 30, &ShopInfo::email2, 3, 1},
    {"* Phone no. 1", 30, &ShopInfo::phone1, 4, 0},
    {"Phone no. 2", 30, &ShopInfo::phone2, 4, 1},
    {"* URL", 63, &ShopInfo::url, 5, -1},
};

QComboBox* choiceBox(const QStringList& choices, const QString& name) {
    auto* box = new QComboBox;
    box->addItems(choices);
    box->setObjectName(name);
    return box;
}

} // namespace

ShopDetailsForm::ShopDetailsForm(QGridLayout* grid, int firstRow, Prompter& prompter,
                                 QWidget* dialog)
    : QObject(dialog), m_dialog(dialog), m_prompter(prompter),
      m_currency(choiceBox(currencyChoices(), "currency")),
      m_restriction(choiceBox(orderRestrictionChoices(), "orderRestriction")),
      m_paymentType(choiceBox(paymentTypeChoices(), "paymentType")),
      m_payPalSetup(new QPushButton("PayPal setup")), m_salesTax(limitedEdit(32, "salesTax")) {
    for (const TextField& f : kTextFields) {
        QLineEdit* edit = limitedEdit(f.limit, QString(f.label).remove("* "));
        m_edits.push_back({f.member, edit, {}});
        const int row = firstRow + f.row;
        const int column = f.column == 1 ? 2 : 0;
        auto* label = new QLabel(f.label);
        label->setBuddy(edit);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1, 1, f.column < 0 ? 3 : 1);
    }
    int row = firstRow + 6;
    grid->addWidget(new QLabel("* Currency"), row, 0);
    grid->addWidget(m_currency, row, 1);
    grid->addWidget(new QLabel("Order restriction"), row, 2);
    grid->addWidget(m_restriction, row, 3);
    ++row;
    grid->addWidget(new QLabel("Payment type"), row, 0);
    grid->addWidget(m_paymentType, row, 1, 1, 2);
    m_payPalSetup->setObjectName("payPalSetup");
    grid->addWidget(m_payPalSetup, row, 3, Qt::AlignLeft);
    ++row;
    auto* tax = new QHBoxLayout;
    m_salesTax->setFixedWidth(m_salesTax->fontMetrics().horizontalAdvance("000000000"));
    tax->addWidget(m_salesTax);
    tax->addWidget(new QLabel("%"));
    tax->addStretch();
    grid->addWidget(new QLabel("Applicable sales tax"), row, 0);
    grid->addLayout(tax, row, 1);

    m_currency->setCurrentIndex(kDefaultCurrency);
    m_salesTax->setText(editableNumber(0.0f));
    paymentTypeChanged(0);
    connect(m_paymentType, &QComboBox::currentIndexChanged, this,
            &ShopDetailsForm::paymentTypeChanged);
    connect(m_payPalSetup, &QPushButton::clicked, this, &ShopDetailsForm::payPalSetup);
}

void ShopDetailsForm::setValues(const ShopInfo& info, const QImage& logo) {
    // A value the service holds beyond a field's limit goes back unchanged
    // unless the field is edited.
    for (TextEdit& e : m_edits)
        e.text.show(e.edit, info.*e.member);
    m_given = info;
    m_currency->setCurrentIndex(info.currency);
    m_restriction->setCurrentIndex(info.orderRestriction);
    m_paymentType->setCurrentIndex(info.paymentType);
    m_salesTax->setText(editableNumber(salesTaxPercent(info.salesTax)));
    m_payPal = toQString(info.payPal);
    m_logo = logo;
    m_logoChanged = false;
    paymentTypeChanged(m_paymentType->currentIndex());
}

ShopInfo ShopDetailsForm::values() const {
    ShopInfo info;
    for (const TextEdit& e : m_edits)
        info.*e.member = e.text.text();
    info.currency = chosenIndex(*m_currency, m_given.currency);
    info.orderRestriction = chosenIndex(*m_restriction, m_given.orderRestriction);
    info.paymentType = chosenIndex(*m_paymentType, m_given.paymentType);
    info.salesTax = salesTaxBits(parseNumberField(m_salesTax->text()).value_or(0.0f));
    info.payPal = fromQString(m_payPal);
    return info;
}

std::vector<TypedEdit> ShopDetailsForm::typedEdits() const {
    std::vector<TypedEdit> edits;
    for (const TextEdit& e : m_edits)
        edits.emplace_back(e.edit);
    return edits;
}

bool ShopDetailsForm::checkSalesTax() {
    if (parseSalesTax(m_salesTax->text()))
        return true;
    refuseField(m_prompter, m_salesTax, salesTaxPrompt());
    return false;
}

void ShopDetailsForm::focus(std::string ShopInfo::*field) {
    for (const TextEdit& e : m_edits)
        if (e.member == field)
            focusField(e.edit);
}

void ShopDetailsForm::paymentTypeChanged(int index) {
    m_payPalSetup->setEnabled(payPalSetupEnabled(index));
}

void ShopDetailsForm::payPalSetup() {
    CPayPalSetupDlg dialog(m_payPal, m_logo, m_prompter, m_dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_payPal = dialog.email();
    m_logo = dialog.logo();
    // Kept once set: the logo then differs from the one the form was given.
    m_logoChanged = m_logoChanged || dialog.logoChanged();
}

} // namespace quillon
