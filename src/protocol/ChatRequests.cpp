#include "protocol/ChatRequests.h"

#include "protocol/ChatMessages.h"
#include "protocol/Exchange.h"

namespace quillon {

namespace {

constexpr uint32_t kChatKind = 11;

// One request and its 11/8 reply into `reply`; Done means the reply
// decoded, whatever its result.
ChatOutcome exchange(const ServiceEndpoint& chat, const Message& request, ChatReply& reply) {
    Socket socket;
    if (!socket.Connect(chat.host, chat.port, false, kChatConnectWaitMs))
        return ChatOutcome::NoConnection;
    socket.SetReadIdleLimit(kServiceIdleLimitMs);
    socket.SetSendIdleLimit(kServiceIdleLimitMs);
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

// The outcome of a decoded reply by its result: 1 or more is Done.
ChatOutcome byResult(int32_t result) {
    if (result >= 1)
        return ChatOutcome::Done;
    if (result == -1)
        return ChatOutcome::Refused;
    return ChatOutcome::Ignored;
}

ChatRecordsResult recordsOf(const ServiceEndpoint& chat, const Message& request) {
    ChatReply reply;
    ChatRecordsResult result{exchange(chat, request, reply), {}};
    if (result.outcome != ChatOutcome::Done)
        return result;
    result.outcome = byResult(reply.result);
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
    if (result.outcome == ChatOutcome::Done) {
        const int32_t code = reply.result;
        result.outcome = code == 1    ? ChatOutcome::Done
                         : code == -2 ? ChatOutcome::AlreadyOpen
                         : code == -1 ? ChatOutcome::Refused
                                      : ChatOutcome::Ignored;
    }
    switch (result.outcome) {
    case ChatOutcome::Done:
        result.pairs = decodeLinePairs(bytesOf(reply.data)).value;
        break;
    case ChatOutcome::Refused:
        prompter.showMessage(kChatIncorrectPasswordText);
        break;
    case ChatOutcome::AlreadyOpen:
        prompter.showMessage(kChatAlreadyOpenText);
        break;
    case ChatOutcome::Corrupted:
        prompter.showMessage(kChatCorruptedText);
        break;
    case ChatOutcome::TooShort:
        prompter.showMessage(kChatUnreachableText);
        break;
    case ChatOutcome::NoConnection:
        prompter.showMessage(kChatNoConnectionText);
        break;
    case ChatOutcome::Ignored:
        break;
    }
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
    const int32_t code = reply.result;
    if (code == -1)
        prompter.showMessage(kChatAlreadyClosedText);
    return code == 1 ? ChatOutcome::Done : code == -1 ? ChatOutcome::Refused : ChatOutcome::Ignored;
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
