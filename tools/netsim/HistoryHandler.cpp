#include "HistoryHandler.h"

#include "ServiceRequest.h"
#include "ServiceState.h"

#include "netlib/Socket.h"
#include "protocol/HistoryMessage.h"
#include "protocol/NamedMessageResponder.h"

#include <bit>

namespace quillon {

namespace {

// Fewer than the 4 bytes of the response fields.
constexpr size_t kShortResponse = 2;

void setRow(HistoryMessage& m, const HistoryRecord& row) {
    m.setString("orderno", row.orderNumber, NamedList::Row);
    m.setString("customer", row.customer, NamedList::Row);
    m.setUInt("amount", std::bit_cast<uint32_t>(row.amount), NamedList::Row);
    m.setUInt("tax", std::bit_cast<uint32_t>(row.tax), NamedList::Row);
    m.setInt("date", row.date, NamedList::Row);
    m.setInt("time", row.time, NamedList::Row);
    m.setInt("status", row.status, NamedList::Row);
    m.setString("pmnt", row.payment, NamedList::Row);
}

} // namespace

void handleHistory(ServiceRequest& request) {
    HistoryMessage message;
    NamedMessageResponder responder(message);
    if (!responder.receiveRequest(bytesOf(request.opening()), request.socket())) {
        request.log("10/2 history: request fields did not arrive or decode; closed");
        return;
    }
    std::string shopId, token1, token2;
    int32_t from = 0, to = 0;
    message.getString("shopid", shopId, NamedList::Request);
    message.getString("token1", token1, NamedList::Request);
    message.getString("token2", token2, NamedList::Request);
    message.getInt("datetime1", from, NamedList::Request);
    message.getInt("datetime2", to, NamedList::Request);

    std::vector<HistoryRecord> rows;
    int32_t rc = request.state().history(SessionBlock(shopId, token1, token2), from, to, rows);
    FaultPlan plan = request.faults("10/2");
    rc = plan.returncode.value_or(rc);
    message.setInt("returncode", rc, NamedList::Response);
    if (rc == 1 && !plan.emptyData) {
        for (const HistoryRecord& row : rows) {
            setRow(message, row);
            responder.addRow();
        }
    }

    std::string how;
    if (!request.wait(plan) || plan.closeEarly) {
        how = "closed without an answer";
    } else if (plan.shortReply || plan.wrongKind) {
        ByteData response = message.encodeList(NamedList::Response);
        request.socket().SendBytes(response.data(), kShortResponse);
        how = "sent a short answer of " + std::to_string(kShortResponse) + " bytes";
    } else {
        how = responder.sendResponse(request.socket()) ? "answered" : "answer failed";
    }
    request.log("10/2 history " + std::to_string(from) + "-" + std::to_string(to) + ", " +
                shopLabel(shopId) + ": " + outcomeText("returncode", rc, plan) + ", " +
                std::to_string(responder.rowCount()) + " rows; " + how);
}

} // namespace quillon
