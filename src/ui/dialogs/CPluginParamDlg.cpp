#include "ui/dialogs/CPluginParamDlg.h"

#include "core/FieldRules.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/ReportTable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {

constexpr int kValueColumn = 1;

bool isDropDown(int32_t type) {
    return type == PLUGIN_PARAM_FLAG || type == PLUGIN_PARAM_CHOICE;
}

bool isEditCell(int32_t type) {
    return type == PLUGIN_PARAM_INTEGER || type == PLUGIN_PARAM_DECIMAL ||
           type == PLUGIN_PARAM_TEXT;
}

} // namespace

CPluginParamDlg::CPluginParamDlg(PluginParamTable table, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_original(table), m_table(std::move(table)),
      m_grid(new QTableWidget), m_accept(new QPushButton("Accept")) {
    setWindowTitle(QStringLiteral("Plugin parameters"));
    setUpReportTable(*m_grid, {{"Item Name", 40}, {"Value", 0, Qt::AlignHCenter}});
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_grid->setMinimumSize(420, 200);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(m_accept, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPluginParamDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPluginParamDlg::reject);
    m_accept->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);

    fill();
    connect(m_grid, &QTableWidget::itemChanged, this, &CPluginParamDlg::cellLeft);
}

void CPluginParamDlg::fill() {
    m_grid->setUpdatesEnabled(false);
    m_grid->setRowCount(int(m_table.size()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const PluginParamValue& v = m_table.at(std::size_t(row));
        auto* name = new QTableWidgetItem(toQString(v.name));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(row, 0, name);
        auto* value = new QTableWidgetItem(toQString(m_table.valueText(std::size_t(row))));
        value->setTextAlignment(Qt::AlignCenter);
        if (!isEditCell(v.type))
            value->setFlags(value->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(row, kValueColumn, value);
        if (isDropDown(v.type)) {
            auto* box = new QComboBox;
            if (v.type == PLUGIN_PARAM_FLAG) {
                box->addItems({"False", "True"});
                box->setCurrentIndex(v.flag ? 1 : 0);
            } else {
                for (const std::string& option : v.options)
                    box->addItem(toQString(option));
                box->setCurrentIndex(v.chosen < v.options.size() ? int(v.chosen) : -1);
            }
            connect(box, &QComboBox::currentTextChanged, this,
                    [this, row](const QString& text) { valueEntered(row, text); });
            m_grid->setCellWidget(row, kValueColumn, box);
        }
    }
    shadeRows(*m_grid);
    for (int row = 0; row < m_grid->rowCount(); ++row)
        showState(row);
    m_grid->setUpdatesEnabled(true);
}

void CPluginParamDlg::cellLeft(QTableWidgetItem* item) {
    if (item->column() == kValueColumn && isEditCell(m_table.at(std::size_t(item->row())).type))
        valueEntered(item->row(), item->text());
}

void CPluginParamDlg::valueEntered(int row, const QString& text) {
    const PluginParamValue& entry = m_table.at(std::size_t(row));
    const auto refusal = entry.type == PLUGIN_PARAM_TEXT
                             ? foreignTextField({{toQString(entry.name), text}})
                             : std::nullopt;
    if (!refusal)
        m_table.setValueText(std::size_t(row), fromQString(text));
    // The cell shows what the plug-in will get: "12abc" becomes 12, a refused
    // text the value it had.
    const QSignalBlocker blocker(m_grid);
    m_grid->item(row, kValueColumn)->setText(toQString(m_table.valueText(std::size_t(row))));
    showState(row);
    if (refusal) {
        // Told once the cell's editor has closed, not while it is closing.
        QMetaObject::invokeMethod(
            this,
            [this, row, message = refusal->message] {
                m_prompter.showMessage(fromQString(message));
                m_grid->setCurrentCell(row, kValueColumn);
                m_grid->setFocus();
            },
            Qt::QueuedConnection);
    }
}

void CPluginParamDlg::showState(int row) {
    const QColor colour =
        m_table.differs(std::size_t(row), m_original) ? QColor(255, 0, 0) : QColor(Qt::black);
    m_grid->item(row, kValueColumn)->setForeground(colour);
    if (QWidget* box = m_grid->cellWidget(row, kValueColumn)) {
        QPalette palette = box->palette();
        for (QPalette::ColorRole role :
             {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
            palette.setColor(role, colour);
        box->setPalette(palette);
    }
    m_accept->setEnabled(m_table.differs(m_original));
}

} // namespace quillon
