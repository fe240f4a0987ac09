#include "ui/dialogs/CConfigDlg.h"

#include "board/BoardPassword.h"
#include "core/FieldRules.h"
#include "orders/NumberText.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/FormAlignment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quillon {

namespace {

constexpr int kTextLimit = 32;
// QLineEdit's own limit, for the fields the dialog does not limit.
constexpr int kNoLimit = 32767;
const char* const kIntegerPrompt = "Please enter an integer.";
const char* const kUnsignedPrompt = "Please enter a whole number from 0 to 4294967295.";
// Long enough for any password a person types at the counter.
constexpr int kPasswordLimit = 128;

} // namespace

CConfigDlg::CConfigDlg(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_shopId(limitedEdit(kTextLimit, "shopId")),
      m_rootPath(limitedEdit(kNoLimit, "rootPath")),
      m_startsFrom(limitedEdit(kNoLimit, "startsFrom")),
      m_wrapAround(limitedEdit(kNoLimit, "wrapAround")), m_digits(limitedEdit(kNoLimit, "digits")),
      m_prefix(limitedEdit(kTextLimit, "prefix")), m_postfix(limitedEdit(kTextLimit, "postfix")),
      m_purge(new QComboBox),
      m_board(new QCheckBox("Show the orders to browsers on the shop's network")),
      m_boardPort(limitedEdit(5, "boardPort")),
      m_boardPassword(limitedEdit(kPasswordLimit, "boardPassword", QLineEdit::Password)),
      m_boardPasswordAgain(limitedEdit(kPasswordLimit, "boardPasswordAgain", QLineEdit::Password)),
      m_boardPasswordState(new QLabel) {
    setWindowTitle(QStringLiteral("Configuration"));
    m_purge->setObjectName("purge");
    m_board->setObjectName("board");
    m_boardPasswordState->setObjectName("boardPasswordState");
    m_boardPasswordState->setWordWrap(true);
    m_purge->addItems({"Never", "After 1 week", "After 2 weeks", "After 1 month", "After 2 months",
                       "After 3 months", "After 6 months"});
    // Wide enough for a whole Shop ID, and a folder of about that length.
    const int wide = m_shopId->fontMetrics().horizontalAdvance(QString(kTextLimit, 'D')) + 16;
    m_shopId->setMinimumWidth(wide);
    m_rootPath->setMinimumWidth(wide);

    m_top = new QFormLayout;
    m_top->addRow("Shop ID:", m_shopId);
    m_top->addRow("Output folder root:", m_rootPath);

    auto* numbering = new QGroupBox("Order number");
    m_numberForm = new QFormLayout(numbering);
    m_numberForm->addRow("Starts from:", m_startsFrom);
    m_numberForm->addRow("Wrap around at:", m_wrapAround);
    m_numberForm->addRow("Number of digits:", m_digits);
    m_numberForm->addRow("Prefix:", m_prefix);
    m_numberForm->addRow("Postfix:", m_postfix);

    m_purgeForm = new QFormLayout;
    m_purgeForm->addRow("Delete orders from system", m_purge);

    auto* board = new QGroupBox("Counter board");
    m_boardForm = new QFormLayout(board);
    m_boardForm->addRow(m_board);
    m_boardForm->addRow("Port:", m_boardPort);
    m_boardForm->addRow("New password:", m_boardPassword);
    m_boardForm->addRow("Repeat password:", m_boardPasswordAgain);
    m_boardForm->addRow(m_boardPasswordState);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_top);
    layout->addWidget(numbering);
    layout->addLayout(m_purgeForm);
    layout->addWidget(board);
    layout->addWidget(okCancelButtons(*this));
}

void CConfigDlg::setValues(const ConfigurationValues& values) {
    m_values = values;
    m_shopIdText.show(m_shopId, values.shopid);
    m_rootPathText.show(m_rootPath, values.rootpath);
    m_startsFrom->setText(QString::number(values.rootordernumber));
    m_wrapAround->setText(QString::number(values.wraparound));
    m_digits->setText(QString::number(values.numdigit));
    m_prefixText.show(m_prefix, values.prefix);
    m_postfixText.show(m_postfix, values.postfix);
    m_purge->setCurrentIndex(values.purge);
    m_board->setChecked(values.board);
    m_boardPort->setText(QString::number(values.boardport));
    m_boardPassword->clear();
    m_boardPasswordAgain->clear();
    m_boardPasswordState->setText(values.boardpassword.empty()
                                      ? "No password is set yet: the board needs one."
                                      : "A password is set; type a new one to change it.");
}

void CConfigDlg::accept() {
    const auto startsFrom = parseUnsigned(fromQString(m_startsFrom->text()));
    if (!startsFrom) {
        refuseField(m_prompter, m_startsFrom, kUnsignedPrompt);
        return;
    }
    const auto wrapAround = parseUnsigned(fromQString(m_wrapAround->text()));
    if (!wrapAround) {
        refuseField(m_prompter, m_wrapAround, kUnsignedPrompt);
        return;
    }
    const auto digits = parseInteger(fromQString(m_digits->text()));
    if (!digits) {
        refuseField(m_prompter, m_digits, kIntegerPrompt);
        return;
    }
    if (!acceptTypedText(m_prompter, {m_shopId, m_rootPath, m_prefix, m_postfix}))
        return;
    const auto port = parseInteger(fromQString(m_boardPort->text()));
    if (!port || *port < 1 || *port > 65535) {
        refuseField(m_prompter, m_boardPort, fieldMessage("Port", integerRangePrompt(1, 65535)));
        return;
    }
    const QString password = m_boardPassword->text();
    if (!passwordsMatch(password, m_boardPasswordAgain->text())) {
        refuseField(m_prompter, m_boardPasswordAgain,
                    "Please re-type the new board password and try again.");
        return;
    }
    if (m_board->isChecked() && password.isEmpty() && m_values.boardpassword.empty()) {
        refuseField(m_prompter, m_boardPassword,
                    fieldMessage("New password", "The counter board needs a password."));
        return;
    }

    ConfigurationValues edited = m_values;
    edited.shopid = m_shopIdText.text();
    edited.rootpath = m_rootPathText.text();
    edited.rootordernumber = *startsFrom;
    edited.wraparound = *wrapAround;
    edited.numdigit = *digits;
    edited.prefix = m_prefixText.text();
    edited.postfix = m_postfixText.text();
    edited.purge = chosenIndex(*m_purge, m_values.purge);
    edited.board = m_board->isChecked();
    edited.boardport = int32_t(*port);
    if (const auto refusal = numberingRefusal(edited)) {
        QLineEdit* const fields[] = {m_startsFrom, m_digits, m_prefix, m_postfix};
        refuseField(m_prompter, fields[refusal->field], refusal->message, refusal->position,
                    refusal->length);
        return;
    }
    // Only the password's salted hash is kept.
    if (!password.isEmpty())
        edited.boardpassword = hashBoardPassword(password.toStdString());
    m_values = edited;
    QDialog::accept();
}

void CConfigDlg::showEvent(QShowEvent* event) {
    alignForms(*this, {m_top, m_numberForm, m_purgeForm, m_boardForm});
    QDialog::showEvent(event);
}

} // namespace quillon
