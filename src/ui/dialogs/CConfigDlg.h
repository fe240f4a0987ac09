#pragma once

#include "orders/Settings.h"
#include "ui/dialogs/EditedText.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QFormLayout;
class QLineEdit;

namespace quillon {

class Prompter;

// "Configuration": the Shop ID, the output folder root, how order numbers
// are formed, when old orders are purged, and the counter board (on or off,
// its port, a new password, of which only the hash is kept).
class CConfigDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConfigDlg(Prompter& prompter, QWidget* parent = nullptr);

    void setValues(const ConfigurationValues& values);
    // The values as edited; meaningful once the dialog was accepted.
    const ConfigurationValues& values() const { return m_values; }

    // Refuses a number field that does not hold a number, a text that
    // cannot be stored as it is typed, and numbering that cannot work: the
    // shop is told, the field gets the focus and the dialog stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Prompter& m_prompter;
    ConfigurationValues m_values;
    QLineEdit* m_shopId;
    QLineEdit* m_rootPath;
    QLineEdit* m_startsFrom;
    QLineEdit* m_wrapAround;
    QLineEdit* m_digits;
    QLineEdit* m_prefix;
    QLineEdit* m_postfix;
    QComboBox* m_purge;
    QCheckBox* m_board;
    QLineEdit* m_boardPort;
    QLineEdit* m_boardPassword;
    QLineEdit* m_boardPasswordAgain;
    QLabel* m_boardPasswordState;
    EditedText m_shopIdText, m_rootPathText, m_prefixText, m_postfixText;
    QFormLayout* m_top = nullptr;
    QFormLayout* m_numberForm = nullptr;
    QFormLayout* m_purgeForm = nullptr;
    QFormLayout* m_boardForm = nullptr;
};

} // namespace quillon
