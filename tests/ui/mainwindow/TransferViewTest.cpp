// The transfer list as the window shows it: rows, the progress and the
// texts after progress, completion, abort and a rebuild.
#include "ui/mainwindow/TransferView.h"
#include "core/TransferList.h"
#include "ui/mainwindow/TransferTableModel.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct View {
    TransferList list;
    TransferView view{list};
    TransferTableModel& model = *view.transferModel();
    View() {
        view.resize(660, 200);
        view.show();
    }
    QString text(int row, int column) const { return model.index(row, column).data().toString(); }
    QVariant role(int row, int column, int r) const { return model.index(row, column).data(r); }
};

} // namespace

TEST(TransferView, RowsShowProgressThenCompletionOrAbort) {
    View v;
    QSignalSpy changed(&v.model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&v.model, &QAbstractItemModel::modelReset);
    const uint16_t first = v.list.addReception();
    const uint16_t second = v.list.addReception();
    ASSERT_EQ(v.model.rowCount(), 2);
    EXPECT_EQ(std::tuple(v.text(0, 0), v.role(0, 3, TransferTableModel::ProgressRole).toInt()),
              std::tuple("Receiving...", 0));

    const int64_t t = 1'700'000'000;
    v.list.setProgress(first, 1, 10, "000007", t);
    v.list.setProgress(first, 9, 10, "000007", t);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(std::tuple(changed[1][0].toModelIndex().row(), changed[1][1].toModelIndex().row(),
                         v.text(0, 0), v.role(0, 3, TransferTableModel::ProgressRole).toInt()),
              std::tuple(0, 0, "000007", 90));

    v.list.setCompleted(first, {"000007", "ann@example.com", 12.5f, t, 0, "Outstanding"}, t);
    EXPECT_EQ(v.role(0, 3, TransferTableModel::ProgressRole).toInt(), -1);
    EXPECT_EQ((QStringList{v.text(0, 1), v.text(0, 2), v.text(0, 3), v.text(0, 4)}),
              (QStringList{"ann@example.com", "12.50", QString::fromStdString(orderReceivedText(t)),
                           "Outstanding"}));

    v.list.setAborted(second, "000008", "bob@example.com"); // its texts are the list's test
    EXPECT_EQ(reset.count(), 0);

    v.list.rebuild(); // only the completed transfer comes back
    EXPECT_EQ(std::tuple(reset.count(), v.model.rowCount()), std::tuple(1, 1));
}
