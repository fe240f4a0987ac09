#pragma once

#include "protocol/ChatBlobs.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace quillon {

inline constexpr char kStaffName[] = "Velorin Support";

// The network's support staff: one chat session per shop. Every line the
// shop sends is answered; the answers wait for the shop's next poll, as a
// colleague's typed reply would.
class ChatDesk {
public:
    // 1 with a greeting, or -2 when the shop has a session open already.
    int32_t open(const std::string& shopId, const std::string& shopName,
                 std::vector<ChatLinePair>& greeting);
    // 1, or -1 when no session is open.
    int32_t close(const std::string& shopId);
    int32_t receive(const std::string& shopId, const std::vector<ChatRecord>& records);
    // The answers that wait; 1, or -1 when no session is open.
    int32_t poll(const std::string& shopId, std::vector<ChatRecord>& answers);

    // What the staff say to a record of the shop's lines.
    static ChatRecord answerTo(const ChatRecord& record);

private:
    std::mutex m_mutex;
    std::map<std::string, std::vector<ChatRecord>> m_waiting;
};

} // namespace quillon
