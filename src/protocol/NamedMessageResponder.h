#pragma once

#include "netlib/ByteData.h"
#include "netlib/Socket.h"
#include "protocol/FramedPacket.h"
#include "protocol/NamedMessage.h"

#include <cstdint>
#include <span>

namespace quillon {

// The answering side of a NamedMessage, as a simulated central service
// needs it: read the opening and the request fields, answer the response
// fields, then send the rows that were added.
class NamedMessageResponder {
public:
    explicit NamedMessageResponder(NamedMessage& message);

    // Reads the 12-byte opening itself, then as below.
    bool receiveRequest(Socket& socket);
    // Answers min(peer's version, own version) and reads the request fields
    // of that version into the message.
    bool receiveRequest(std::span<const uint8_t> opening, Socket& socket);

    // Appends the message's row fields, as they are now, as one row.
    void addRow();
    uint32_t rowCount() const { return m_rowCount; }

    // Sends the response fields, waits for their acknowledgement (which
    // must count every byte sent), then the rows as a framed packet.
    bool sendResponse(Socket& socket, uint32_t protocolId = kPlainProtocolId);

private:
    NamedMessage& m_message;
    ByteData m_rows;
    uint32_t m_rowCount = 0;
};

} // namespace quillon
