#pragma once

#include "orders/PluginParamTable.h"

#include <QDialog>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace quillon {

class Prompter;

// "Plugin parameters": a plug-in's parameters in a grid of names and
// values, edited in a copy of its table. "Accept" hands the edited copy
// back; "Cancel" drops it. A text the plug-in could not be given as it is
// typed is refused when its cell is left.
class CPluginParamDlg : public QDialog {
    Q_OBJECT
public:
    CPluginParamDlg(PluginParamTable table, Prompter& prompter, QWidget* parent = nullptr);

    const PluginParamTable& table() const { return m_table; }

private:
    void fill();
    void cellLeft(QTableWidgetItem* item);
    void valueEntered(int row, const QString& text);
    // Red text for a changed value, black for an unchanged one.
    void showState(int row);

    Prompter& m_prompter;
    const PluginParamTable m_original;
    PluginParamTable m_table;
    QTableWidget* m_grid;
    QPushButton* m_accept;
};

} // namespace quillon
