#include "protocol/NamedMessageResponder.h"

#include "protocol/Exchange.h"

#include <utility>

namespace quillon {

namespace {

// Request fields are small; a peer that keeps sending without completing
// them is cut off here.
constexpr size_t kMaxRequestSize = 65536;

} // namespace

NamedMessageResponder::NamedMessageResponder(NamedMessage& message) : m_message(message) {}

bool NamedMessageResponder::receiveRequest(Socket& socket) {
    ByteData opening;
    if (!socket.ReceiveBytesN(MessageHeader::kSize, opening))
        return false;
    return receiveRequest(bytesOf(opening), socket);
}

bool NamedMessageResponder::receiveRequest(std::span<const uint8_t> opening, Socket& socket) {
    auto peer = MessageHeader::parse(opening);
    if (!peer)
        return false;
    uint32_t v = answerVersion(peer->version, int32_t(m_message.header().version));
    if (!m_message.setChosenVersion(v) || !socket.SendU32(v))
        return false;
    // The request comes in one send but may arrive in pieces.
    ByteData request;
    while (request.size() < kMaxRequestSize) {
        if (!socket.ReceiveBytes(request))
            return false;
        if (m_message.decodeList(NamedList::Request, bytesOf(request)) >= 0)
            return true;
    }
    return false;
}

void NamedMessageResponder::addRow() {
    ByteData row = m_message.encodeList(NamedList::Row);
    m_rows.append(row.data(), row.size());
    ++m_rowCount;
}

bool NamedMessageResponder::sendResponse(Socket& socket, uint32_t protocolId) {
    ByteData response = m_message.encodeList(NamedList::Response);
    if (!socket.SendBytes(response))
        return false;
    ByteData ack;
    if (!socket.ReceiveBytesN(4, ack) || ack.u32At(0) != response.size())
        return false;
    ByteData body;
    body.appendU32(m_rowCount);
    body.append(m_rows.data(), m_rows.size());
    return FramedPacket(protocolId, std::move(body)).sendPacket(socket) == 1;
}

} // namespace quillon
