#include "ui/dialogs/RegistrationStep.h"

#include "orders/QtText.h"
#include "protocol/Prompter.h"

#include <QPushButton>

namespace quillon {

void showStepRunning(QWidget* dialog, QPushButton* button, bool running) {
    button->setEnabled(!running);
    if (running)
        dialog->setCursor(Qt::BusyCursor);
    else
        dialog->unsetCursor();
}

void showStepMessages(Prompter& prompter, const QStringList& messages) {
    for (const QString& text : messages)
        prompter.showMessage(fromQString(text));
}

} // namespace quillon
