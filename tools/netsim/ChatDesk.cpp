#include "ChatDesk.h"

#include <QString>
#include <array>

namespace quillon {

namespace {

// A shop that never polls must not grow the queue without end.
constexpr size_t kMaxWaitingAnswers = 100;

struct CannedAnswer {
    const char* keyword;
    const char* answer;
};

constexpr std::array<CannedAnswer, 7> kCanned{{
    {"price", "Prices come from your product list; update it from the Products menu and the "
              "network uses the new prices for the next order."},
    {"payment", "PayPal payments are confirmed within a few minutes of the order."},
    {"paypal", "PayPal payments are confirmed within a few minutes of the order."},
    {"order", "I can see your recent orders on our side. Which order number is it about?"},
    {"password", "You can change your password from the Account menu once you are logged in."},
    {"thank", "You're welcome. Is there anything else I can do for you?"},
    {"hello", "Hello! What can I do for you today?"},
}};

} // namespace

ChatRecord ChatDesk::answerTo(const ChatRecord& record) {
    QString said;
    for (const std::string& line : record.lines)
        said += QString::fromLatin1(line.c_str()) + ' ';
    said = said.toLower();
    for (const CannedAnswer& c : kCanned)
        if (said.contains(c.keyword))
            return {kStaffName, {c.answer}};
    std::string first = record.lines.empty() ? std::string() : record.lines.front();
    return {kStaffName,
            {"Thanks, " + record.name + ". I have noted: \"" + first + "\".",
             "A colleague will look into it and get back to you shortly."}};
}

int32_t ChatDesk::open(const std::string& shopId, const std::string& shopName,
                       std::vector<ChatLinePair>& greeting) {
    std::lock_guard lock(m_mutex);
    if (m_waiting.count(shopId))
        return -2;
    m_waiting[shopId];
    greeting = {{kStaffName, "Welcome to Velorin support, " + shopName +
                                 ". A member of staff is with you. How can we help?"}};
    return 1;
}

int32_t ChatDesk::close(const std::string& shopId) {
    std::lock_guard lock(m_mutex);
    return m_waiting.erase(shopId) ? 1 : -1;
}

int32_t ChatDesk::receive(const std::string& shopId, const std::vector<ChatRecord>& records) {
    std::lock_guard lock(m_mutex);
    auto found = m_waiting.find(shopId);
    if (found == m_waiting.end())
        return -1;
    for (const ChatRecord& r : records) {
        if (found->second.size() >= kMaxWaitingAnswers)
            found->second.erase(found->second.begin());
        found->second.push_back(answerTo(r));
    }
    return 1;
}

int32_t ChatDesk::poll(const std::string& shopId, std::vector<ChatRecord>& answers) {
    std::lock_guard lock(m_mutex);
    auto found = m_waiting.find(shopId);
    if (found == m_waiting.end())
        return -1;
    answers = std::move(found->second);
    found->second.clear();
    return 1;
}

} // namespace quillon
