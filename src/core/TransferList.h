#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon {

// One row of the transfer list: "Order number", "Customer", "Total",
// "Transfer status", "Payment status".
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

// The transfer list as data: its rows, and the receptions in progress keyed
// by a 16-bit id, each knowing its row.
class TransferList {
public:
    static constexpr const char* kReceiving = "Receiving...";

    const std::vector<TransferRow>& rows() const { return m_rows; }
    TransferRow* row(int index);

    // Appends a "Receiving..." row with a progress bar at 0 and enters it in
    // the receptions map; returns its key.
    uint16_t addReception();
    // The row of a reception in progress, or null once it was dropped.
    TransferRow* receptionRow(uint16_t key);
    void setReceptionProgress(uint16_t key, int percent);
    void removeReception(uint16_t key);
    size_t receptionCount() const { return m_receptions.size(); }

    int appendRow(TransferRow row);
    // Empties the list and rebuilds it: a row per completed transfer, then
    // a "Receiving..." row per reception in progress.
    void rebuild(const std::vector<CompletedTransfer>& completed);

    static TransferRow completedRow(const CompletedTransfer& t);

private:
    struct Reception {
        int row = -1;
        int progress = 0;
    };
    std::vector<TransferRow> m_rows;
    std::map<uint16_t, Reception> m_receptions;
    uint16_t m_nextKey = 0;
};

// The "Total" column: the amount with two decimals.
std::string formatTotal(float amount);
// "Order received %02d.%02d.%02d %02d:%02d" with the local time of `t`.
std::string orderReceivedText(int64_t t);
// The payment status text of a payment code.
std::string paymentStatusText(int32_t code, const std::string& text1, const std::string& text2);

} // namespace quillon
