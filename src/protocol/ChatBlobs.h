#pragma once

#include "netlib/ByteData.h"
#include "protocol/Decoded.h"

#include <span>
#include <string>
#include <vector>

namespace quillon {

// A line of the session opening's reply: who said it and what.
struct ChatLinePair {
    std::string sender;
    std::string line;
    bool operator==(const ChatLinePair&) const = default;
};

// A sender's name and the lines sent together.
struct ChatRecord {
    std::string name;
    std::vector<std::string> lines;
    bool operator==(const ChatRecord&) const = default;
};

// Line pairs back to back until the blob ends: both texts in the String
// form. ok false when the last pair is cut short; the pairs before it stay.
ByteData encodeLinePairs(const std::vector<ChatLinePair>& pairs);
Decoded<std::vector<ChatLinePair>> decodeLinePairs(std::span<const uint8_t> blob);

// Records back to back until the blob ends: the name in the String form,
// u32 n, n lines in the String form.
ByteData encodeChatRecord(const ChatRecord& record);
ByteData encodeChatRecords(const std::vector<ChatRecord>& records);
Decoded<std::vector<ChatRecord>> decodeChatRecords(std::span<const uint8_t> blob);

} // namespace quillon
