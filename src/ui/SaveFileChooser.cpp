#include "ui/SaveFileChooser.h"

#include <QFileDialog>

namespace quillon {

QString askTextFileName(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, {}, proposed, "Text Files (*.txt);;All Files (*)");
}

} // namespace quillon
