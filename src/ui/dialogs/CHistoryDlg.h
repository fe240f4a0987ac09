#pragma once

#include "protocol/HistoryRequest.h"
#include "ui/dialogs/SaveFileChooser.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QPushButton;
class QTableWidget;

namespace quillon {

class HistoryDateChooser;
class Prompter;

// "Transaction history": the shop's orders between two dates as the
// service lists them, and their export to a text file of ";"-separated
// lines. The dialog asks for the records through findRequested(); its
// owner runs the request and hands back the rows with showRecords().
class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    // The year choosers run from 2009 to `lastYear`; the export is first
    // proposed at `exportPath`. A file that cannot be written is told
    // through `prompter`.
    CHistoryDlg(int lastYear, const QString& exportPath, Prompter& prompter,
                QWidget* parent = nullptr);

    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseFile = std::move(chooser); }
    // The rows found: shown, and what an export writes. Ends the search.
    void showRecords(const std::vector<HistoryRecord>& rows);

signals:
    // "Find records...": From and To as YYMMDD; the list is empty meanwhile.
    void findRequested(int32_t datetime1, int32_t datetime2);

private:
    void find();
    void exportRecords();

    Prompter& m_prompter;
    HistoryDateChooser* m_from;
    HistoryDateChooser* m_to;
    QPushButton* m_find;
    QTableWidget* m_list;
    QString m_exportPath;
    SaveFileChooser m_chooseFile = askTextFileName;
    std::vector<HistoryRecord> m_rows;
};

} // namespace quillon
