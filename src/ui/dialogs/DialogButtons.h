#pragma once

class QDialog;
class QDialogButtonBox;

namespace quillon {

// OK and Cancel, wired to the dialog's accept() (which a dialog may
// override to refuse) and reject().
QDialogButtonBox* okCancelButtons(QDialog& dialog);

} // namespace quillon
