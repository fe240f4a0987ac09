#pragma once

#include "protocol/NamedMessage.h"

#include <cstdint>
#include <string>

namespace quillon {

// One order of the shop's transaction history, as a history row carries it.
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

// The transaction history request (10/2, version 0). Request: "shopid",
// "token1", "token2" (String), "datetime1", "datetime2" (Int32, YYMMDD).
// Response: "returncode" (Int32). Rows: "orderno", "customer" (String),
// "amount", "tax" (UInt32 slots carrying single-precision values), "date"
// (Int32, YYMMDD), "time" (Int32, HHMM), "status" (Int32), "pmnt" (String).
class HistoryMessage : public NamedMessage {
public:
    HistoryMessage();
};

} // namespace quillon
