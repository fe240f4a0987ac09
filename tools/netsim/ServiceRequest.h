#pragma once

#include "FaultRules.h"

#include "netlib/ByteData.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

class ChatDesk;
class EventLog;
class Message;
class SessionBlock;
class SessionReturnResponse;
class ServiceState;
class Socket;

// What every connection of the service shares.
struct ServiceContext {
    ServiceState& state;
    ChatDesk& chat;
    FaultRules& faults;
    EventLog& log;
    const std::atomic<bool>& stopping;
};

// One request on one connection: the opening (or the whole raw request)
// that was read, and the way back to the peer.
class ServiceRequest {
public:
    ServiceRequest(Socket& socket, std::string peer, const ServiceContext& context,
                   ByteData opening);

    Socket& socket() { return m_socket; }
    const ByteData& opening() const { return m_opening; }
    ServiceState& state() { return m_context.state; }
    ChatDesk& chat() { return m_context.chat; }

    // One log line for this request.
    void log(std::string_view text);
    // The scripted faults for this request's kind (and order references).
    FaultPlan faults(std::string_view kind, const std::string& reference1 = {},
                     const std::string& reference2 = {});
    // Receives the request's body by the plain or session exchange; a body
    // that does not arrive or decode is logged and ends the request.
    bool receive(Message& body, bool session, std::string_view what);
    // Waits out the plan's delay; false when the service is stopping.
    bool wait(const FaultPlan& plan);

    // Answers with `reply` by the plain or session exchange, unless the
    // plan wants a short answer, another kind or none at all. The text
    // says what was sent, for the log line.
    std::string answer(const Message& reply, bool session, const FaultPlan& plan);
    // The account answers: the request's block echoed and a returncode,
    // which a fault may replace; logs the request's line.
    void answerSession(const char* kind, const char* what, SessionReturnResponse& reply,
                       const SessionBlock& block, int32_t returncode);
    // Sends raw reply bytes, or the first `shortSize` of them for a short
    // answer, or nothing when the plan closes early.
    std::string answerRaw(const ByteData& reply, size_t shortSize, const FaultPlan& plan);

private:
    Socket& m_socket;
    std::string m_peer;
    const ServiceContext& m_context;
    ByteData m_opening;
};

// "shop 42" for a shop ID that is a ticket, else the text itself.
std::string shopLabel(const std::string& shopId);

// "returncode 1" and, when the plan changed anything, what it changed.
std::string outcomeText(std::string_view what, int32_t value, const FaultPlan& plan);

} // namespace quillon
