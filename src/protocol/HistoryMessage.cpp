#include "protocol/HistoryMessage.h"

namespace quillon {

HistoryMessage::HistoryMessage() : NamedMessage(10, 2, 0) {
    addRequestField(0, FieldType::String, "shopid");
    addRequestField(0, FieldType::String, "token1");
    addRequestField(0, FieldType::String, "token2");
    addRequestField(0, FieldType::Int32, "datetime1");
    addRequestField(0, FieldType::Int32, "datetime2");
    addResponseField(0, FieldType::Int32, "returncode");
    addRowField(0, FieldType::String, "orderno");
    addRowField(0, FieldType::String, "customer");
    addRowField(0, FieldType::UInt32, "amount");
    addRowField(0, FieldType::UInt32, "tax");
    addRowField(0, FieldType::Int32, "date");
    addRowField(0, FieldType::Int32, "time");
    addRowField(0, FieldType::Int32, "status");
    addRowField(0, FieldType::String, "pmnt");
}

} // namespace quillon
