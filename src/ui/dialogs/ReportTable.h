#pragma once

#include <QString>
#include <Qt>
#include <vector>

class QTableWidget;

namespace quillon {

struct ReportColumn {
    QString title;
    // Width in 64ths of the usable width; 0 takes what the others leave.
    int sixtyFourths = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// The dialogs' report lists: full-row selection of one row, grid lines, no
// row numbers, and column widths kept at their fractions of the usable
// width (the list's width less 2 px and a vertical scroll bar) whenever the
// list is resized; the last column takes the rest less 2 px.
void setUpReportTable(QTableWidget& table, const std::vector<ReportColumn>& columns);
// Keeps a 4-pixel gap at both sides of each cell's text, so a right-aligned
// number does not run into the text of the next column.
void padReportCells(QTableWidget& table);
// Rows alternate between 0xF0F0F0 (the first and every second one after)
// and 0xDCDCDC, with black text. Call after filling.
void shadeRows(QTableWidget& table);

} // namespace quillon
