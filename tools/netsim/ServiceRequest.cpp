#include "ServiceRequest.h"

#include "EventLog.h"

#include "netlib/Socket.h"
#include "protocol/Credentials.h"
#include "protocol/Exchange.h"
#include "protocol/Message.h"
#include "protocol/SessionReturnResponse.h"

#include <chrono>
#include <thread>
#include <utility>

namespace quillon {

namespace {

// The kind put into an answer that is meant to be of another kind.
constexpr uint32_t kWrongKind = 99;
// A plain opening cut before its version; a session opening without its block.
constexpr size_t kShortPlainOpening = 8;

std::string sent(int rc) {
    return rc < 0 ? "answer failed (" + std::to_string(rc) + ")" : "answered";
}

} // namespace

ServiceRequest::ServiceRequest(Socket& socket, std::string peer, const ServiceContext& context,
                               ByteData opening)
    : m_socket(socket), m_peer(std::move(peer)), m_context(context), m_opening(std::move(opening)) {
}

void ServiceRequest::log(std::string_view text) {
    m_context.log.write(m_peer, text);
}

bool ServiceRequest::receive(Message& body, bool session, std::string_view what) {
    std::span<const uint8_t> opening = bytesOf(m_opening);
    int rc =
        session ? receiveSession(body, opening, m_socket) : receivePlain(body, opening, m_socket);
    if (rc >= 0)
        return true;
    log(std::string(what) + ": request body did not arrive or decode (" + std::to_string(rc) +
        "); closed");
    return false;
}

FaultPlan ServiceRequest::faults(std::string_view kind, const std::string& reference1,
                                 const std::string& reference2) {
    return m_context.faults.take(kind, reference1, reference2, m_context.log);
}

bool ServiceRequest::wait(const FaultPlan& plan) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(plan.delayMs);
    while (std::chrono::steady_clock::now() < until) {
        if (m_context.stopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !m_context.stopping;
}

std::string ServiceRequest::answer(const Message& reply, bool session, const FaultPlan& plan) {
    if (!wait(plan) || plan.closeEarly)
        return "closed without an answer";
    if (plan.shortReply) {
        ByteData opening = reply.header().encode();
        if (!session)
            opening.resize(kShortPlainOpening);
        m_socket.SendBytes(opening);
        return "sent a short answer of " + std::to_string(opening.size()) + " bytes";
    }
    if (plan.wrongKind) {
        MessageHeader header = reply.header();
        header.kind = kWrongKind;
        m_socket.SendBytes(session ? header.encodeSession(reply.sessionBlock()) : header.encode());
        return "answered with kind " + std::to_string(kWrongKind);
    }
    return sent(session ? sendSession(reply, m_socket) : sendPlain(reply, m_socket));
}

void ServiceRequest::answerSession(const char* kind, const char* what, SessionReturnResponse& reply,
                                   const SessionBlock& block, int32_t returncode) {
    FaultPlan plan = faults(kind);
    reply.sessionBlock() = block;
    reply.returncode = plan.returncode.value_or(returncode);
    std::string how = answer(reply, true, plan);
    log(std::string(kind) + " " + what + ", " + shopLabel(block.shopid()) + ": " +
        outcomeText("returncode", reply.returncode, plan) + "; " + how);
}

std::string ServiceRequest::answerRaw(const ByteData& reply, size_t shortSize,
                                      const FaultPlan& plan) {
    if (!wait(plan) || plan.closeEarly)
        return "closed without an answer";
    if (plan.shortReply) {
        ByteData cut(reply.view().substr(0, shortSize));
        m_socket.SendBytes(cut);
        return "sent a short answer of " + std::to_string(cut.size()) + " bytes";
    }
    return m_socket.SendBytes(reply) ? "answered" : "answer failed";
}

std::string shopLabel(const std::string& shopId) {
    if (auto ticket = decryptTicket(shopId))
        return "shop " + std::to_string(ticket->shopNumber);
    return "unknown shop \"" + shopId + "\"";
}

std::string outcomeText(std::string_view what, int32_t value, const FaultPlan& plan) {
    std::string text = std::string(what) + " " + std::to_string(value);
    if (plan.any())
        text += " [fault: " + plan.describe() + "]";
    return text;
}

} // namespace quillon
