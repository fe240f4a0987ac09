#pragma once

#include <QTableView>
#include <array>

namespace quillon {

class TransferList;
class TransferTableModel;

// Column widths of the transfer list: 12, 12, 10, 15 and 15 sixty-fourths
// of the list's width less a vertical scroll bar and 2 pixels. When the
// columns are first made the last one takes what the first four leave.
std::array<int, 5> transferColumnWidths(int listWidth, int scrollBarWidth, bool firstTime);

// The transfer list: report style, full-row selection, grid lines, a
// progress bar while an order arrives; each new row is scrolled to.
class TransferView : public QTableView {
    Q_OBJECT
public:
    explicit TransferView(const TransferList& list, QWidget* parent = nullptr);
    TransferTableModel* transferModel() const { return m_model; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TransferTableModel* m_model;
    bool m_columnsMade = false;
};

} // namespace quillon
