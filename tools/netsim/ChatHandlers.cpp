#include "ChatHandlers.h"

#include "ChatDesk.h"
#include "ServiceRequest.h"
#include "ServiceState.h"

#include "protocol/ChatMessages.h"

namespace quillon {

namespace {

const char* replyText(int32_t result) {
    switch (result) {
    case 1:
        return "OK";
    case -1:
        return "No chat session.";
    case -2:
        return "A chat session is already open.";
    default:
        return "Bad data.";
    }
}

// Sends the 11/8 reply and logs the request's line.
void answerChat(ServiceRequest& request, const char* kind, const std::string& what,
                const std::string& shopId, int32_t result, ByteData data) {
    FaultPlan plan = request.faults(kind);
    ChatReply reply;
    reply.result = plan.returncode.value_or(result);
    reply.text = replyText(reply.result);
    if (!plan.emptyData)
        reply.data = std::move(data);
    std::string how = request.answer(reply, false, plan);
    request.log(std::string(kind) + " " + what + ", " + shopLabel(shopId) + ": " +
                outcomeText("result", reply.result, plan) + "; " + how);
}

} // namespace

void handleChatOpen(ServiceRequest& request) {
    ChatOpenRequest body;
    if (!request.receive(body, false, "11/0 chat open"))
        return;
    std::vector<ChatLinePair> greeting;
    int32_t result = -1;
    if (auto name = request.state().checkPassword(body.shopId, body.password))
        result = request.chat().open(body.shopId, *name, greeting);
    answerChat(request, "11/0", "chat open", body.shopId, result, encodeLinePairs(greeting));
}

void handleChatClose(ServiceRequest& request) {
    ChatCloseRequest body;
    if (!request.receive(body, false, "11/1 chat close"))
        return;
    answerChat(request, "11/1", "chat close", body.shopId, request.chat().close(body.shopId), {});
}

void handleChatSend(ServiceRequest& request) {
    ChatSendRequest body;
    if (!request.receive(body, false, "11/3 chat send"))
        return;
    auto records = decodeChatRecords(bytesOf(body.record));
    int32_t result = records.ok ? request.chat().receive(body.shopId, records.value) : -3;
    size_t lines = 0;
    for (const ChatRecord& r : records.value)
        lines += r.lines.size();
    answerChat(request, "11/3", "chat send of " + std::to_string(lines) + " line(s)", body.shopId,
               result, {});
}

void handleChatPoll(ServiceRequest& request) {
    ChatPollRequest body;
    if (!request.receive(body, false, "11/6 chat poll"))
        return;
    std::vector<ChatRecord> answers;
    int32_t result = request.chat().poll(body.shopId, answers);
    answerChat(request, "11/6", "chat poll, " + std::to_string(answers.size()) + " record(s)",
               body.shopId, result, encodeChatRecords(answers));
}

} // namespace quillon
