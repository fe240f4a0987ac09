#pragma once

#include <QDialog>
#include <cstddef>

class QListWidget;
class QPushButton;

namespace quillon {

class PluginHost;
class PluginParamTable;
class Prompter;

// "Select Plugin": the loaded plug-ins by caption, in load order.
// "Continue" opens the chosen plug-in's parameters; the dialog stays open
// for another plug-in until "Exit".
class CPluginSelectionDlg : public QDialog {
    Q_OBJECT
public:
    CPluginSelectionDlg(const PluginHost& plugins, Prompter& prompter, QWidget* parent = nullptr);

signals:
    // The parameters dialog of plug-in `index` was accepted with `values`.
    void parametersAccepted(std::size_t index, const PluginParamTable& values);

private:
    void continueWithSelected();

    const PluginHost& m_plugins;
    Prompter& m_prompter;
    QListWidget* m_list;
    QPushButton* m_continue;
};

} // namespace quillon
