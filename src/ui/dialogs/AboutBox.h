#pragma once

#include <QDialog>

namespace quillon {

// "About Quillon": the program icon, "Quillon Version 1.0", the year line
// and OK.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace quillon
