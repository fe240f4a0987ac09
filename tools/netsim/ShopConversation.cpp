#include "ShopConversation.h"

#include "netlib/Socket.h"
#include "protocol/Exchange.h"
#include "protocol/Message.h"

#include <cstdio>

namespace quillon {

bool askShop(const ShopEndpoint& shop, const Message& request, Message& answer,
             std::string& error) {
    Socket socket;
    if (!socket.Connect(shop.host, shop.port, false, shop.idleMs)) {
        error = "cannot connect to " + shop.host + ":" + std::to_string(shop.port) + ": " +
                socket.LastErrorText();
        return false;
    }
    socket.SetReadIdleLimit(shop.idleMs);
    socket.SetSendIdleLimit(shop.idleMs);
    int rc = sendPlain(request, socket);
    if (rc < 0) {
        error = "the shop did not take the request (exchange result " + std::to_string(rc) + ")";
        return false;
    }
    ByteData opening;
    if (!socket.ReceiveBytes(opening)) {
        error = "the shop closed the connection without an answer";
        return false;
    }
    auto header = MessageHeader::parse(bytesOf(opening));
    if (!header || opening.size() != MessageHeader::kSize) {
        error =
            "the answer's opening has " + std::to_string(opening.size()) + " bytes instead of 12";
        return false;
    }
    if (int32_t(header->kind) != answer.kind() || int32_t(header->subkind) != answer.subkind()) {
        error = "the answer is of kind " + std::to_string(header->kind) + "/" +
                std::to_string(header->subkind) + " instead of " + std::to_string(answer.kind()) +
                "/" + std::to_string(answer.subkind());
        return false;
    }
    rc = receivePlain(answer, bytesOf(opening), socket);
    if (rc < 0) {
        error = "the answer's body did not arrive or decode (exchange result " +
                std::to_string(rc) + ")";
        return false;
    }
    return true;
}

std::string printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace quillon
