#pragma once

// A minimal shop side for talking to `quillon-netsim service`, built from
// the protocol library's primitives only, so a test sees exactly what the
// shop's requests would see at each step. Header-only: it needs the
// protocol library, which the tests that include it link.

#include "netlib/Socket.h"
#include "protocol/CentralService.h"
#include "protocol/Credentials.h"
#include "protocol/Exchange.h"
#include "protocol/FramedPacket.h"
#include "protocol/LoginMessages.h"
#include "protocol/Message.h"
#include "protocol/ShopInfoMessages.h"
#include "support/NetsimService.h"

#include <cstdint>
#include <memory>
#include <string>

namespace testsupport {

// Where a request stopped, named after the shop's own failure paths.
enum class ReplyFault {
    None,         // the reply arrived and decoded
    NoConnection, // connect failed
    NotSent,      // the request's exchange failed
    NoReply,      // the connection ended before any reply byte
    ShortReply,   // fewer than 12 (plain) or 108 (session) bytes
    WrongKind,    // the reply names another kind or subkind
    BadBody,      // the reply's body did not arrive or decode
};

struct Exchanged {
    ReplyFault fault = ReplyFault::None;
    size_t openingSize = 0; // bytes of the reply's opening
};

class ShopClient {
public:
    static constexpr int kIdleMs = 5000;

    explicit ShopClient(int servicePort, int chatPort = 0)
        : m_servicePort(servicePort), m_chatPort(chatPort) {}

    std::unique_ptr<quillon::Socket> connect(bool chat = false) const {
        auto socket = std::make_unique<quillon::Socket>();
        if (!socket->Connect("127.0.0.1", chat ? m_chatPort : m_servicePort, false, kIdleMs))
            return nullptr;
        socket->SetReadIdleLimit(kIdleMs);
        socket->SetSendIdleLimit(kIdleMs);
        return socket;
    }

    // A session request (kinds 2 and 4), as the shop's account requests do.
    Exchanged session(const quillon::Message& request, quillon::Message& reply) const {
        return exchange(request, reply, true, false);
    }
    // A plain request on the service port, or on the chat port.
    Exchanged plain(const quillon::Message& request, quillon::Message& reply,
                    bool chat = false) const {
        return exchange(request, reply, false, chat);
    }

    // Logs in; on returncode 1 or -3 the tokens are kept for later requests.
    Exchanged login(const std::string& shopId, const std::string& password,
                    quillon::LoginResponse& reply) {
        quillon::LoginRequest request;
        request.sessionBlock() = quillon::SessionBlock(shopId, "", "");
        request.password = quillon::encryptCredential(password);
        Exchanged e = session(request, reply);
        if (e.fault == ReplyFault::None && (reply.returncode == 1 || reply.returncode == -3))
            m_session = quillon::SessionBlock(shopId, reply.sessionBlock().token1(),
                                              reply.sessionBlock().token2());
        return e;
    }
    const quillon::SessionBlock& sessionBlock() const { return m_session; }
    void setSessionBlock(const quillon::SessionBlock& block) { m_session = block; }

    // A raw request: one send, then one receive of whatever is available
    // (empty when the connection ended first).
    quillon::ByteData raw(const quillon::ByteData& request) const {
        quillon::ByteData reply;
        auto socket = connect();
        if (socket && socket->SendBytes(request))
            socket->ReceiveBytes(reply);
        return reply;
    }
    // A raw request answered with a framed packet: the packet's result.
    int rawPacket(const quillon::ByteData& request, quillon::FramedPacket& packet) const {
        auto socket = connect();
        if (!socket || !socket->SendBytes(request))
            return 0;
        return packet.receivePacket(*socket);
    }

private:
    Exchanged exchange(const quillon::Message& request, quillon::Message& reply, bool session,
                       bool chat) const {
        Exchanged e;
        auto socket = connect(chat);
        if (!socket) {
            e.fault = ReplyFault::NoConnection;
            return e;
        }
        if ((session ? quillon::sendSession(request, *socket)
                     : quillon::sendPlain(request, *socket)) < 0) {
            e.fault = ReplyFault::NotSent;
            return e;
        }
        quillon::ByteData opening;
        if (!socket->ReceiveBytes(opening)) {
            e.fault = ReplyFault::NoReply;
            return e;
        }
        e.openingSize = opening.size();
        size_t needed =
            session ? quillon::MessageHeader::kSessionOpeningSize : quillon::MessageHeader::kSize;
        if (opening.size() < needed) {
            e.fault = ReplyFault::ShortReply;
            return e;
        }
        if (int32_t(opening.u32At(0)) != reply.kind() ||
            int32_t(opening.u32At(4)) != reply.subkind()) {
            e.fault = ReplyFault::WrongKind;
            return e;
        }
        std::span<const uint8_t> bytes = quillon::bytesOf(opening);
        if ((session ? quillon::receiveSession(reply, bytes, *socket)
                     : quillon::receivePlain(reply, bytes, *socket)) < 0)
            e.fault = ReplyFault::BadBody;
        return e;
    }

    int m_servicePort;
    int m_chatPort;
    quillon::SessionBlock m_session;
};

// The simulated service with shop 42 (password "secret", demo products and
// history) and a client for it.
struct ServedClient {
    NetsimService service;
    std::unique_ptr<ShopClient> client;
    quillon::ServiceEndpoint endpoint;
    const std::string shopId = quillon::encryptCredential("O1000042");

    // (Re)starts the service with `options` added.
    bool start(const QStringList& options = {}) {
        if (!service.start(QStringList{"--shop", "42:secret:shop@example.com", "--seed"} + options))
            return false;
        client = std::make_unique<ShopClient>(service.servicePort(), service.chatPort());
        endpoint = {"127.0.0.1", service.servicePort()};
        return true;
    }
    // The login's returncode, or -100 when the exchange failed.
    int32_t login(const std::string& password = "secret") {
        quillon::LoginResponse reply;
        return client->login(shopId, password, reply).fault == ReplyFault::None ? reply.returncode
                                                                                : -100;
    }
    // A session request with the kept session: its returncode, or -100 when
    // the exchange failed.
    template <class Request, class Reply> int32_t session(Request& request, Reply& reply) {
        request.sessionBlock() = client->sessionBlock();
        return client->session(request, reply).fault == ReplyFault::None ? reply.returncode : -100;
    }
    int32_t fetchInfo() {
        quillon::ShopInfoFetchRequest request;
        quillon::ShopInfoFetchResponse reply;
        return session(request, reply);
    }
};

} // namespace testsupport
