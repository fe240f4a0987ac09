#include "protocol/FramedPacket.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quillon {

namespace {

// A received body grows as its bytes arrive; only this much is set aside
// up front, whatever the header declares.
constexpr size_t kInitialReserve = 65536;

enum class Ack { Matches, NotReceived, Short, Differs };

Ack awaitAck(Socket& socket, uint32_t expected) {
    ByteData ack;
    if (!socket.ReceiveBytesN(4, ack))
        return ack.empty() ? Ack::NotReceived : Ack::Short;
    return ack.u32At(0) == expected ? Ack::Matches : Ack::Differs;
}

} // namespace

FramedPacket::FramedPacket(uint32_t protocolId, ByteData body) : m_protocolId(protocolId) {
    setBody(std::move(body));
}

void FramedPacket::setBody(ByteData body) {
    m_body = std::move(body);
    m_length = uint32_t(m_body.size());
}

ByteData FramedPacket::takeBody() {
    ByteData body = std::move(m_body);
    m_body = ByteData();
    return body;
}

int FramedPacket::sendPacket(Socket& socket) const {
    if (m_body.size() > UINT32_MAX)
        return -5;
    ByteData header;
    header.appendU32(m_protocolId);
    header.appendU32(uint32_t(m_body.size()));
    if (!socket.SendBytes(header))
        return -5;
    switch (awaitAck(socket, kHeaderSize)) {
    case Ack::Matches:
        break;
    case Ack::NotReceived:
        return -6;
    case Ack::Short:
        return -7;
    case Ack::Differs:
        return -8;
    }
    for (size_t offset = 0; offset < m_body.size(); offset += kChunkSize) {
        size_t chunk = std::min(m_body.size() - offset, kChunkSize);
        if (!socket.SendBytes(m_body.data() + offset, chunk))
            return -2;
        switch (awaitAck(socket, uint32_t(chunk))) {
        case Ack::Matches:
            break;
        case Ack::NotReceived:
            return -3;
        case Ack::Short:
            return -4;
        case Ack::Differs:
            return -1;
        }
    }
    return 1;
}

int FramedPacket::receivePacket(Socket& socket) {
    m_body = ByteData();
    ByteData header;
    if (!socket.ReceiveBytesN(kHeaderSize, header)) {
        if (header.empty())
            return -2;
        // A torn header: tell the peer how much of it arrived.
        socket.SendU32(uint32_t(header.size()));
        return -1;
    }
    m_protocolId = header.u32At(0);
    m_length = header.u32At(4);
    // A length beyond the limit is a body that cannot be received: -4, and
    // the header is not acknowledged, so the peer sends nothing more.
    if (m_length > m_maxBodySize)
        return -4;
    if (!socket.SendU32(kHeaderSize))
        return -3;
    m_body.reserve(std::min<size_t>(m_length, kInitialReserve));
    while (m_body.size() < m_length) {
        size_t chunk = 0;
        while (chunk < kChunkSize && m_body.size() < m_length) {
            size_t left = m_length - m_body.size();
            size_t room = kChunkSize - chunk;
            // In the last chunk one byte more is asked for: if it is there,
            // the peer ran past the declared length.
            size_t limit = left <= room ? left + 1 : room;
            ByteData piece;
            if (!socket.ReceiveBytes(piece, limit) || piece.size() > left) {
                m_body = ByteData();
                return -4;
            }
            m_body.append(piece.data(), piece.size());
            chunk += piece.size();
        }
        if (!socket.SendU32(uint32_t(chunk))) {
            m_body = ByteData();
            return -5;
        }
    }
    return 1;
}

} // namespace quillon
