#pragma once

#include <QStringList>

class QPushButton;
class QWidget;

namespace quillon {

class Prompter;

// How the registration dialogs show a step that runs: a busy cursor over
// the dialog and its button disabled, so the step is not sent twice.
void showStepRunning(QWidget* dialog, QPushButton* button, bool running);
// The step's messages, one box after another.
void showStepMessages(Prompter& prompter, const QStringList& messages);

} // namespace quillon
