#include "protocol/ChatRequests.h"

#include "protocol/ChatMessages.h"
#include "protocol/Exchange.h"

#include <array>
#include <utility>

namespace quillon {

namespace {

constexpr uint32_t kChatKind = 11;

// One request and its 11/8 reply into `reply`; Done means the reply
// decoded, whatever its result.
ChatOutcome exchange(const ServiceEndpoint& chat, const Message& request, ChatReply& reply) {
    Socket socket;
    if (!connectToService(socket, chat, kChatConnectWaitMs))
        return ChatOutcome::NoConnection;
    if (sendPlain(request, socket) < 0)
        return ChatOutcome::Corrupted;
    ByteData opening;
    if (!socket.ReceiveBytes(opening))
        return ChatOutcome::NoConnection;
    auto header = MessageHeader::parse(bytesOf(opening));
    if (!header)
        return ChatOutcome::TooShort;
    if (header->kind != kChatKind)
        return ChatOutcome::Corrupted;
    if (receivePlain(reply, bytesOf(opening), socket) < 0)
        return ChatOutcome::NoConnection;
    return ChatOutcome::Done;
}

// The outcome of a decoded reply by its result; with `orMore` every result
// above 1 carries data as well.
ChatOutcome byResult(int32_t result, bool orMore) {
    if (result == 1 || (orMore && result > 1))
        return ChatOutcome::Done;
    if (result == -1)
        return ChatOutcome::Refused;
    if (result == -2)
        return ChatOutcome::AlreadyOpen;
    return ChatOutcome::Ignored;
}

// What a failed opening shows.
constexpr std::array<std::pair<ChatOutcome, const char*>, 5> kOpenTexts{{
    {ChatOutcome::Refused, kChatIncorrectPasswordText},
    {ChatOutcome::AlreadyOpen, kChatAlreadyOpenText},
    {ChatOutcome::Corrupted, kChatCorruptedText},
    {ChatOutcome::TooShort, kChatUnreachableText},
    {ChatOutcome::NoConnection, kChatNoConnectionText},
}};

ChatRecordsResult recordsOf(const ServiceEndpoint& chat, const Message& request) {
    ChatReply reply;
    ChatRecordsResult result{exchange(chat, request, reply), {}};
    if (result.outcome != ChatOutcome::Done)
        return result;
    result.outcome = byResult(reply.result, true);
    if (result.outcome == ChatOutcome::Done)
        result.records = decodeChatRecords(bytesOf(reply.data)).value;
    return result;
}

} // namespace

ChatOpenResult openChatSession(const ServiceEndpoint& chat, Prompter& prompter,
                               const std::string& shopId, const std::string& password,
                               const SessionDetails& details) {
    ChatOpenRequest request;
    request.shopId = shopId;
    request.password = password;
    request.details = details;
    ChatReply reply;
    ChatOpenResult result{exchange(chat, request, reply), {}};
    if (result.outcome == ChatOutcome::Done)
        result.outcome = byResult(reply.result, false);
    if (result.outcome == ChatOutcome::Done)
        result.pairs = decodeLinePairs(bytesOf(reply.data)).value;
    for (auto [outcome, text] : kOpenTexts)
        if (outcome == result.outcome)
            prompter.showMessage(text);
    return result;
}

ChatOutcome closeChatSession(const ServiceEndpoint& chat, Prompter& prompter,
                             const std::string& shopId) {
    ChatCloseRequest request;
    request.shopId = shopId;
    ChatReply reply;
    const ChatOutcome outcome = exchange(chat, request, reply);
    if (outcome != ChatOutcome::Done)
        return outcome;
    const ChatOutcome closed = byResult(reply.result, false);
    if (closed == ChatOutcome::Refused)
        prompter.showMessage(kChatAlreadyClosedText);
    return closed;
}

ChatRecordsResult sendChatLines(const ServiceEndpoint& chat, const std::string& shopId,
                                const ChatRecord& record) {
    ChatSendRequest request;
    request.shopId = shopId;
    request.record = encodeChatRecord(record);
    return recordsOf(chat, request);
}

ChatRecordsResult pollChat(const ServiceEndpoint& chat, const std::string& shopId) {
    ChatPollRequest request;
    request.shopId = shopId;
    return recordsOf(chat, request);
}

} // namespace quillon
