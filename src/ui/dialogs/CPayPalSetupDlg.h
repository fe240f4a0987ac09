#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon {

class Prompter;

// "PayPal setup": the PayPal account e-mail and an optional shop logo of
// at most 150 x 50 pixels for the PayPal payment page.
class CPayPalSetupDlg : public QDialog {
    Q_OBJECT
public:
    // "Use my own logo" starts set when there is a logo.
    CPayPalSetupDlg(const QString& email, const QImage& logo, Prompter& prompter,
                    QWidget* parent = nullptr);

    QString email() const;
    // Null when there is none.
    const QImage& logo() const { return m_logo; }
    // A new logo was chosen while the dialog was open.
    bool logoChanged() const { return m_logoChanged; }

    // Takes the image file as the logo if it fits; one that does not drops
    // the logo, one that cannot be read changes nothing.
    void loadLogo(const QString& path);

    // Refuses an e-mail address that cannot be sent as it is typed.
    void accept() override;

private:
    void chooseLogoFile();
    void useOwnLogo(bool use);
    void showLogo();

    Prompter& m_prompter;
    QImage m_logo;
    bool m_logoChanged = false;
    QLineEdit* m_email;
    QCheckBox* m_useOwnLogo;
    QPushButton* m_selectLogo;
    QLabel* m_preview;
};

} // namespace quillon
