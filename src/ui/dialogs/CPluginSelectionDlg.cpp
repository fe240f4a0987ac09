#include "ui/dialogs/CPluginSelectionDlg.h"

#include "orders/PluginHost.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/CPluginParamDlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

CPluginSelectionDlg::CPluginSelectionDlg(const PluginHost& plugins, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), m_plugins(plugins), m_prompter(prompter), m_list(new QListWidget),
      m_continue(new QPushButton("Continue")) {
    setWindowTitle(QStringLiteral("Select Plugin"));
    for (std::size_t i = 0; i < plugins.count(); ++i)
        m_list->addItem(toQString(plugins.caption(i)));
    m_list->setMinimumSize(300, 160);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(m_continue, QDialogButtonBox::ActionRole);
    buttons->addButton("Exit", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPluginSelectionDlg::reject);
    connect(m_continue, &QPushButton::clicked, this, &CPluginSelectionDlg::continueWithSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            &CPluginSelectionDlg::continueWithSelected);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_continue->setEnabled(!m_list->selectedItems().isEmpty()); });
    m_continue->setEnabled(false);
    m_continue->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void CPluginSelectionDlg::continueWithSelected() {
    const int row = m_list->currentRow();
    if (row < 0 || m_list->selectedItems().isEmpty())
        return;
    const std::size_t index = std::size_t(row);
    const PluginParam* table = m_plugins.parameters(index);
    if (!table || table[0].type == PLUGIN_PARAM_END) {
        m_prompter.showMessage("There's no parameter defined by this plugin.");
        return;
    }
    CPluginParamDlg dialog(PluginParamTable::copyOf(table), m_prompter, this);
    if (dialog.exec() == QDialog::Accepted)
        emit parametersAccepted(index, dialog.table());
}

} // namespace quillon
