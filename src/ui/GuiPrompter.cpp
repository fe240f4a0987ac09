#include "ui/GuiPrompter.h"

#include <QMessageBox>

namespace quillon {

namespace {

const QString kCaption = QStringLiteral("Quillon");

QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

void GuiPrompter::showMessage(const std::string& text) {
    QMessageBox::information(m_parent, kCaption, latin1(text));
}

bool GuiPrompter::askYesNo(const std::string& text) {
    return QMessageBox::question(m_parent, kCaption, latin1(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace quillon
