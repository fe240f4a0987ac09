#pragma once

#include "protocol/NamedMessage.h"

namespace quillon {

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
