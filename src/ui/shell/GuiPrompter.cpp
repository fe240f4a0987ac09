#include "ui/shell/GuiPrompter.h"

#include "orders/QtText.h"

#include <QMessageBox>

namespace quillon {

namespace {

const QString kCaption = QStringLiteral("Quillon");

} // namespace

void GuiPrompter::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, kCaption, toQString(text), QMessageBox::Ok, m_parent);
    // A message may carry what the shop has to type elsewhere, such as the
    // SHOP ID of a new shop: it can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

bool GuiPrompter::askYesNo(const std::string& text) {
    return QMessageBox::question(m_parent, kCaption, toQString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace quillon
