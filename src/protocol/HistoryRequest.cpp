#include "protocol/HistoryRequest.h"

#include "protocol/HistoryMessage.h"
#include "protocol/SessionRequests.h"

#include <bit>

namespace quillon {

namespace {

// The history's own refusal of the dates it was given.
constexpr int32_t kReturnBadDates = -3;

} // namespace

std::vector<HistoryRecord> historyRows(HistoryMessage& message) {
    std::vector<HistoryRecord> rows;
    for (int rc = message.firstRow(); rc == 0; rc = message.nextRow()) {
        HistoryRecord row;
        uint32_t amount = 0, tax = 0;
        message.getString("orderno", row.orderNumber);
        message.getString("customer", row.customer);
        message.getUInt("amount", amount);
        message.getUInt("tax", tax);
        message.getInt("date", row.date);
        message.getInt("time", row.time);
        message.getInt("status", row.status);
        message.getString("pmnt", row.payment);
        row.amount = std::bit_cast<float>(amount);
        row.tax = std::bit_cast<float>(tax);
        rows.push_back(std::move(row));
    }
    return rows;
}

HistoryFetch fetchHistory(const ServiceEndpoint& endpoint, Prompter& prompter,
                          const SessionBlock& session, int32_t datetime1, int32_t datetime2) {
    HistoryFetch fetched;
    Socket socket;
    if (!connectToService(socket, endpoint)) {
        fetched.returncode = kReturnRefused;
        return fetched;
    }
    HistoryMessage message;
    if (message.open(socket) < 0)
        return fetched;
    message.setString("shopid", session.shopid());
    message.setString("token1", session.token1());
    message.setString("token2", session.token2());
    message.setInt("datetime1", datetime1);
    message.setInt("datetime2", datetime2);
    int32_t returncode = 0;
    if (message.transact(socket) < 0 ||
        message.getInt("returncode", returncode, NamedList::Response) != 0)
        return fetched;
    fetched.returncode = returncode;
    switch (returncode) {
    case kReturnDone:
        fetched.rows = historyRows(message);
        break;
    case kReturnSessionExpired:
        prompter.showMessage(kSessionTimeoutText);
        break;
    case kReturnRefused:
        prompter.showMessage(kHistoryDatabaseErrorText);
        break;
    case kReturnBadDates:
        prompter.showMessage(kHistoryBadDataText);
        break;
    default:
        break;
    }
    return fetched;
}

} // namespace quillon
