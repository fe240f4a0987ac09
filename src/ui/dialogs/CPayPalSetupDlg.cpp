#include "ui/dialogs/CPayPalSetupDlg.h"

#include "core/ShopFields.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogParts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

CPayPalSetupDlg::CPayPalSetupDlg(const QString& email, const QImage& logo, Prompter& prompter,
                                 QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_logo(logo), m_email(limitedEdit(32, "payPalEmail")),
      m_useOwnLogo(new QCheckBox("Use my own logo")), m_selectLogo(new QPushButton("Select logo")),
      m_preview(new QLabel) {
    setWindowTitle("PayPal setup");
    m_email->setText(email);
    m_email->setMinimumWidth(m_email->fontMetrics().horizontalAdvance(QString(34, QChar(u'x'))));
    m_useOwnLogo->setObjectName("useOwnLogo");
    m_useOwnLogo->setChecked(!logo.isNull());
    m_selectLogo->setObjectName("selectLogo");
    m_selectLogo->setEnabled(!logo.isNull());
    m_preview->setFixedSize(kLogoMaxWidth, kLogoMaxHeight);
    m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto* note = new QLabel(
        "Optionally you can use your own logo in the PayPal payment page. If you do not wish to "
        "do so the Velorin Photo Network logo will be used. The logo must be within 150 x 50 "
        "pixels.");
    note->setWordWrap(true);
    auto* group = new QGroupBox("Logo");
    auto* groupLayout = new QGridLayout(group);
    groupLayout->addWidget(note, 0, 0, 1, 2);
    groupLayout->addWidget(m_useOwnLogo, 1, 0);
    groupLayout->addWidget(m_selectLogo, 2, 0, Qt::AlignLeft | Qt::AlignTop);
    groupLayout->addWidget(m_preview, 1, 1, 2, 1, Qt::AlignRight);

    auto* form = new QFormLayout;
    form->addRow("PayPal account email", m_email);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(*this));

    connect(m_useOwnLogo, &QCheckBox::toggled, this, &CPayPalSetupDlg::useOwnLogo);
    connect(m_selectLogo, &QPushButton::clicked, this, &CPayPalSetupDlg::chooseLogoFile);
    showLogo();
}

QString CPayPalSetupDlg::email() const {
    return m_email->text();
}

void CPayPalSetupDlg::accept() {
    if (acceptTypedText(m_prompter, {m_email}))
        QDialog::accept();
}

void CPayPalSetupDlg::chooseLogoFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, {}, {}, "BMP Files (*.bmp);;JPEG Files (*.jpg)");
    if (!path.isEmpty())
        loadLogo(path);
}

void CPayPalSetupDlg::loadLogo(const QString& path) {
    const QImage image(path);
    if (image.isNull())
        return;
    if (!logoFits(image)) {
        m_logo = QImage();
        m_prompter.showMessage(kLogoTooLargeText);
    } else {
        m_logo = image;
        m_logoChanged = true;
    }
    showLogo();
}

void CPayPalSetupDlg::useOwnLogo(bool use) {
    m_selectLogo->setEnabled(use);
    if (!use) {
        m_logo = QImage();
        showLogo();
    }
}

void CPayPalSetupDlg::showLogo() {
    m_preview->setPixmap(m_logo.isNull() ? QPixmap() : QPixmap::fromImage(m_logo));
}

} // namespace quillon
