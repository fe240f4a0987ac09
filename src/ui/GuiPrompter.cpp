#include "ui/GuiPrompter.h"

#include "orders/QtText.h"

#include <QMessageBox>

namespace quillon {

namespace {

const QString kCaption = QStringLiteral("Quillon");

} // namespace

void GuiPrompter::showMessage(const std::string& text) {
    QMessageBox::information(m_parent, kCaption, toQString(text));
}

bool GuiPrompter::askYesNo(const std::string& text) {
    return QMessageBox::question(m_parent, kCaption, toQString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace quillon
