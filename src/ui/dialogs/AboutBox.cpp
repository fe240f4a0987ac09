#include "ui/dialogs/AboutBox.h"

#include "ui/shell/ProgramIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace quillon {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quillon"));
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Quillon Version 1.0"), this);
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* year = new QLabel(QStringLiteral("Copyright (C) 2009 Tarvex"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(16);
    version->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    year->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(version, 0, 1);
    grid->addWidget(year, 1, 1);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

} // namespace quillon
