#include "ui/dialogs/SaveFileChooser.h"

#include "orders/QtText.h"

#include <QFileDialog>

namespace quillon {

QString askTextFileName(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, {}, proposed, "Text Files (*.txt);;All Files (*)");
}

std::string notWrittenText(const QString& path) {
    return "The file " + fromQString(path) + " could not be written.";
}

} // namespace quillon
