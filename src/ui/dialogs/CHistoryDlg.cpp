#include "ui/dialogs/CHistoryDlg.h"

#include "core/HistoryFields.h"
#include "core/TextLines.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"
#include "ui/dialogs/HistoryDateChooser.h"
#include "ui/dialogs/ReportTable.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {

QGroupBox* framed(const QString& title, QWidget* content) {
    auto* box = new QGroupBox(title);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

CHistoryDlg::CHistoryDlg(int lastYear, const QString& exportPath, Prompter& prompter,
                         QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_from(new HistoryDateChooser(lastYear, "from")),
      m_to(new HistoryDateChooser(lastYear, "to")), m_find(new QPushButton("Find records...")),
      m_list(new QTableWidget), m_exportPath(exportPath) {
    setWindowTitle("Transaction history");
    m_find->setObjectName("find");
    m_list->setObjectName("records");
    setUpReportTable(*m_list, {{"Order Number", 14},
                               {"Total", 6, Qt::AlignRight},
                               {"Customer", 18},
                               {"Date/Time", 10},
                               {"Status", 8},
                               {"Payment", 8}});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    padReportCells(*m_list);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->setMinimumSize(840, 300);

    auto* dates = new QHBoxLayout;
    dates->addWidget(framed("From", m_from));
    dates->addWidget(framed("To", m_to));
    dates->addStretch();
    dates->addWidget(m_find, 0, Qt::AlignBottom);

    auto* exporting = new QPushButton("Export Transaction Records");
    exporting->setObjectName("export");
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(exporting, QDialogButtonBox::ActionRole);
    buttons->addButton("Close", QDialogButtonBox::RejectRole);
    for (QPushButton* button : {m_find, exporting})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    connect(m_find, &QPushButton::clicked, this, &CHistoryDlg::find);
    connect(exporting, &QPushButton::clicked, this, &CHistoryDlg::exportRecords);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CHistoryDlg::find() {
    showRecords({});
    m_find->setEnabled(false);
    setCursor(Qt::BusyCursor);
    emit findRequested(m_from->date(), m_to->date());
}

void CHistoryDlg::showRecords(const std::vector<HistoryRecord>& rows) {
    m_find->setEnabled(true);
    unsetCursor();
    m_rows = rows;
    m_list->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const std::array<std::string, 6> texts = historyColumns(rows[size_t(row)]);
        for (int column = 0; column < int(texts.size()); ++column) {
            auto* item = new QTableWidgetItem(toQString(texts[size_t(column)]));
            if (column == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_list->setItem(row, column, item);
        }
    }
    shadeRows(*m_list);
}

void CHistoryDlg::exportRecords() {
    const QString path = m_chooseFile(this, m_exportPath);
    if (path.isEmpty())
        return;
    std::vector<std::string> lines;
    for (const HistoryRecord& row : m_rows)
        lines.push_back(historyExportLine(row));
    // A file that cannot be written is left as it was.
    if (!writeTextLines(path, lines))
        m_prompter.showMessage(notWrittenText(path));
}

} // namespace quillon
