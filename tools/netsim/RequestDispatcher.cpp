#include "RequestDispatcher.h"

#include "AccountHandlers.h"
#include "ChatHandlers.h"
#include "EventLog.h"
#include "HistoryHandler.h"
#include "OrderHandlers.h"
#include "ProductHandlers.h"
#include "ServiceRequest.h"
#include "SetupHandlers.h"

#include "netlib/Socket.h"
#include "protocol/MessageHeader.h"

namespace quillon {

namespace {

// The longest text a raw request may carry (a shop ID, tokens, an e-mail
// address); a larger declared length is refused before anything is read.
constexpr uint32_t kMaxRawText = 4096;

enum class Form { Plain, Session, Raw };

struct Route {
    Form form;
    uint32_t kind;
    uint32_t subkind; // raw requests: not used
    ServicePort port;
    void (*handler)(ServiceRequest&);
};

constexpr Route kRoutes[] = {
    {Form::Plain, 0, 0, ServicePort::Service, handleShopSetup},
    {Form::Plain, 6, 2, ServicePort::Service, handleOrderCheck},
    {Form::Plain, 6, 3, ServicePort::Service, handleOrderNumberReport},
    {Form::Plain, 6, 4, ServicePort::Service, handlePaymentStatus},
    {Form::Plain, 10, 2, ServicePort::Service, handleHistory},
    {Form::Plain, 11, 0, ServicePort::Chat, handleChatOpen},
    {Form::Plain, 11, 1, ServicePort::Chat, handleChatClose},
    {Form::Plain, 11, 3, ServicePort::Chat, handleChatSend},
    {Form::Plain, 11, 6, ServicePort::Chat, handleChatPoll},
    {Form::Session, 2, 0, ServicePort::Service, handleLogin},
    {Form::Session, 4, 0, ServicePort::Service, handleShopInfoUpdate},
    {Form::Session, 4, 1, ServicePort::Service, handleShopInfoFetch},
    {Form::Session, 4, 2, ServicePort::Service, handleProductUpdate},
    {Form::Session, 4, 3, ServicePort::Service, handleChangePassword},
    {Form::Raw, 1, 0, ServicePort::Service, handleSetupConfirmation},
    {Form::Raw, 3, 0, ServicePort::Service, handleLogout},
    {Form::Raw, 5, 0, ServicePort::Service, handleProductFetch},
};

// Where a raw request keeps its text length, and its size besides the text.
struct RawLayout {
    uint32_t tag;
    size_t lengthOffset;
    size_t fixedSize;
};

constexpr RawLayout kRawLayouts[] = {
    {1, 4, 9},     // u32 1, u32 L, text, NUL
    {3, 100, 105}, // u32 3, session block, u32 L, text, NUL
    {5, 8, 12},    // u32 5, u32 1, u32 L (NUL counted), text and NUL
};

class Reader {
public:
    Reader(Socket& socket, ByteData& bytes) : m_socket(socket), m_bytes(bytes) {}

    // Reads until `count` bytes are there; false when the peer stops first.
    bool atLeast(size_t count) {
        if (m_bytes.size() >= count)
            return true;
        if (m_socket.ReceiveBytesN(count - m_bytes.size(), m_bytes))
            return true;
        problem = "connection ended after " + std::to_string(m_bytes.size()) + " of " +
                  std::to_string(count) + " bytes";
        return false;
    }

    // Exactly `count` bytes: more would be a body sent before its turn.
    bool exactly(size_t count) {
        if (!atLeast(count))
            return false;
        if (m_bytes.size() == count)
            return true;
        problem = std::to_string(m_bytes.size() - count) + " unexpected bytes after " +
                  std::to_string(count);
        return false;
    }

    bool raw(const RawLayout& layout) {
        if (!atLeast(layout.lengthOffset + 4))
            return false;
        uint32_t length = m_bytes.u32At(layout.lengthOffset);
        if (length > kMaxRawText) {
            problem = "declares a text of " + std::to_string(length) + " bytes";
            return false;
        }
        return exactly(layout.fixedSize + length);
    }

    std::string problem;

private:
    Socket& m_socket;
    ByteData& m_bytes;
};

const Route* findRoute(Form form, uint32_t kind, uint32_t subkind) {
    for (const Route& r : kRoutes)
        if (r.form == form && r.kind == kind && (form == Form::Raw || r.subkind == subkind))
            return &r;
    return nullptr;
}

const char* portName(ServicePort port) {
    return port == ServicePort::Chat ? "chat port" : "service port";
}

} // namespace

void serveConnection(Socket& socket, ServicePort port, const std::string& peer,
                     const ServiceContext& context) {
    auto refuse = [&](const std::string& why) {
        context.log.write(peer, "malformed request on the " + std::string(portName(port)) + ": " +
                                    why + "; closed");
    };
    ByteData bytes;
    if (!socket.ReceiveBytes(bytes)) {
        context.log.write(peer, "connection closed before a request arrived");
        return;
    }
    if (bytes.size() < 4) {
        refuse("only " + std::to_string(bytes.size()) + " bytes");
        return;
    }
    uint32_t tag = bytes.u32At(0);
    Reader reader(socket, bytes);
    Form form = Form::Plain;
    bool whole = false;
    if (tag == 2 || tag == 4) {
        form = Form::Session;
        whole = reader.exactly(MessageHeader::kSessionOpeningSize);
    } else if (tag == 0 || tag == 6 || tag == 10 || tag == 11) {
        whole = reader.exactly(MessageHeader::kSize);
    } else {
        form = Form::Raw;
        const RawLayout* layout = nullptr;
        for (const RawLayout& l : kRawLayouts)
            if (l.tag == tag)
                layout = &l;
        if (!layout) {
            refuse("unknown first word " + std::to_string(tag));
            return;
        }
        whole = reader.raw(*layout);
    }
    if (!whole) {
        refuse("request starting with " + std::to_string(tag) + ": " + reader.problem);
        return;
    }
    uint32_t subkind = form == Form::Raw ? 0 : bytes.u32At(4);
    const Route* route = findRoute(form, tag, subkind);
    if (!route || route->port != port) {
        refuse(form == Form::Raw
                   ? "raw request " + std::to_string(tag) + " does not belong here"
                   : "no request " + std::to_string(tag) + "/" + std::to_string(subkind) + " here");
        return;
    }
    ServiceRequest request(socket, peer, context, std::move(bytes));
    route->handler(request);
}

} // namespace quillon
