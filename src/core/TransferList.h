#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon {

// One row of the transfer list, as shown: "Order number", "Customer",
// "Total", "Transfer status", "Payment status".
struct TransferRow {
    std::string orderNumber;
    std::string customer;
    std::string total;
    std::string transferStatus;
    int progress = -1; // 0..100 while a progress bar shows, else -1
    bool aborted = false;
    std::string paymentStatus;
};

// An order that arrived, as the transfer list shows it after a rebuild.
struct CompletedTransfer {
    std::string orderNumber;
    std::string customer;
    float amount = 0.0f;
    int64_t received = 0;
    int32_t paymentCode = 0;
    std::string paymentStatus;
};

// The transfer list: a row per reception since start-up, the receptions in
// progress with their rows, and the completed transfers that a rebuild
// shows again. Every change is reported, so a view can follow it row by
// row. Lives on the shop's thread.
class TransferList : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kReceiving = "Receiving...";

    int rowCount() const { return int(m_rows.size()); }
    const TransferRow& row(int index) const { return m_rows.at(size_t(index)); }
    const std::vector<TransferRow>& rows() const { return m_rows; }
    size_t receptionCount() const { return m_receptions.size(); }

    // Appends a "Receiving..." row with its progress bar at 0; the key
    // names the reception from now on.
    uint16_t addReception();
    // File k of n has arrived; the last one turns the bar into the
    // "Order received ..." text of `now`.
    void setProgress(uint16_t key, int k, int n, const std::string& orderNumber, int64_t now);
    // The order is stored: the row shows its customer, total and payment
    // status, and rebuilds keep it. The reception is over.
    void setCompleted(uint16_t key, const CompletedTransfer& order, int64_t now);
    // The order was refused or cut short: "N/A", "Aborted".
    void setAborted(uint16_t key, const std::string& orderNumber, const std::string& customer);

    // Empties the list and fills it again: a row per completed transfer,
    // then a "Receiving..." row per reception in progress.
    void rebuild();

signals:
    // Rows first..last (inclusive) were appended.
    void rowsInserted(int first, int last);
    void rowChanged(int row);
    // Every row may have changed (after a rebuild).
    void rowsReset();

private:
    TransferRow* receptionRow(uint16_t key, int* index = nullptr);
    int append(TransferRow row);

    struct Reception {
        int row = -1;
        int progress = 0;
    };
    std::vector<TransferRow> m_rows;
    std::map<uint16_t, Reception> m_receptions;
    std::vector<CompletedTransfer> m_completed;
    uint16_t m_nextKey = 0;
};

// The "Total" column: the amount with two decimals.
std::string formatTotal(float amount);
// "Order received %02d.%02d.%02d %02d:%02d" with the local time of `t`.
std::string orderReceivedText(int64_t t);
// The payment status text of a payment code.
std::string paymentStatusText(int32_t code, const std::string& text1, const std::string& text2);

} // namespace quillon
