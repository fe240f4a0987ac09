#include "protocol/Exchange.h"

#include "protocol/FramedPacket.h"

#include <algorithm>

namespace quillon {

namespace {

int sendBody(const Message& message, Socket& socket, const ByteData& opening, uint32_t protocolId) {
    if (!socket.SendBytes(opening))
        return -3;
    ByteData answer;
    if (!socket.ReceiveBytes(answer))
        return -4;
    if (answer.size() < 4)
        return -5;
    uint32_t v = answer.u32At(0);
    // Checked as unsigned, so an answer of -1 is out of range as well.
    if (v >= message.recordCount())
        return -6;
    FramedPacket packet(protocolId, message.encode(int(v)));
    int rc = packet.sendPacket(socket);
    return rc == 1 ? int(packet.length()) : rc;
}

int receiveBody(Message& message, uint32_t peerVersion, Socket& socket) {
    uint32_t v = answerVersion(peerVersion, message.version());
    if (!socket.SendU32(v))
        return -3;
    FramedPacket packet;
    int rc = packet.receivePacket(socket);
    if (rc != 1)
        return rc;
    return message.decode(int(v), packet.body());
}

} // namespace

uint32_t answerVersion(uint32_t peerVersion, int32_t ownVersion) {
    return std::min(peerVersion, uint32_t(ownVersion));
}

int sendPlain(const Message& message, Socket& socket) {
    return sendBody(message, socket, message.header().encode(), kPlainProtocolId);
}

int sendSession(const Message& message, Socket& socket) {
    return sendBody(message, socket, message.header().encodeSession(message.sessionBlock()),
                    kSessionProtocolId);
}

int receivePlain(Message& message, std::span<const uint8_t> opening, Socket& socket) {
    auto header = MessageHeader::parse(opening);
    if (!header)
        return -2;
    return receiveBody(message, header->version, socket);
}

int receiveSession(Message& message, std::span<const uint8_t> opening, Socket& socket) {
    if (opening.size() < MessageHeader::kSessionOpeningSize)
        return -2;
    message.sessionBlock().assign(opening.subspan(MessageHeader::kSize, SessionBlock::kSize));
    return receiveBody(message, MessageHeader::parse(opening)->version, socket);
}

} // namespace quillon
