#pragma once

#include "protocol/CentralService.h"
#include "protocol/HistoryMessage.h"
#include "protocol/Prompter.h"
#include "protocol/SessionBlock.h"

#include <cstdint>
#include <vector>

namespace quillon {

inline constexpr char kHistoryDatabaseErrorText[] =
    "Database error. Unable to retrieve transaction history.";
inline constexpr char kHistoryBadDataText[] = "Bad data. Unable to retrieve transaction history.";

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
