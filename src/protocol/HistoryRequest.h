#pragma once

#include "protocol/CentralService.h"
#include "protocol/Prompter.h"
#include "protocol/SessionBlock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class HistoryMessage;

inline constexpr char kHistoryDatabaseErrorText[] =
    "Database error. Unable to retrieve transaction history.";
inline constexpr char kHistoryBadDataText[] = "Bad data. Unable to retrieve transaction history.";

// One order of the shop's transaction history as the service lists it.
struct HistoryRecord {
    std::string orderNumber;
    std::string customer;
    float amount = 0;
    float tax = 0;
    int32_t date = 0;   // YYMMDD
    int32_t time = 0;   // HHMM
    int32_t status = 0; // 0 created, 1 sandbox, 2 to 5 live
    std::string payment;
};

struct HistoryFetch {
    // The service's returncode; -2 when no connection could be made, 0 when
    // no returncode came back.
    int32_t returncode = 0;
    std::vector<HistoryRecord> rows; // only with returncode 1
};

// The history between two YYMMDD dates, on a connection of its own. The
// returncodes -1, -2 and -3 show their texts; a failed exchange shows
// nothing.
HistoryFetch fetchHistory(const ServiceEndpoint& endpoint, Prompter& prompter,
                          const SessionBlock& session, int32_t datetime1, int32_t datetime2);

// The rows of a received history message, up to the first that does not
// decode.
std::vector<HistoryRecord> historyRows(HistoryMessage& message);

} // namespace quillon
