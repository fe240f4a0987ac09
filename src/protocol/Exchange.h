#pragma once

#include "netlib/ByteData.h"
#include "netlib/Socket.h"
#include "protocol/Message.h"

#include <cstdint>
#include <span>

namespace quillon {

// The plain and session exchanges: an opening, a version answer, then the
// body of the agreed version record as a framed packet. Besides the packet
// codes, which pass through unchanged, the results are: -3 the opening (send
// side) or the version answer (receive side) not sent, -4 the version answer
// not received, -5 shorter than 4 bytes, -6 outside the message's records.

// Sending side: the body length on success.
int sendPlain(const Message& message, Socket& socket);
int sendSession(const Message& message, Socket& socket);

// Receiving side. `opening` is what the caller already read of the peer's
// opening (12 bytes, or 108 for a session). Answers the smaller of the
// peer's version and the message's own, then decodes the body: bytes
// consumed, or negative. An opening too short to hold the peer's version
// gives -2 and nothing is sent.
int receivePlain(Message& message, std::span<const uint8_t> opening, Socket& socket);
int receiveSession(Message& message, std::span<const uint8_t> opening, Socket& socket);

// The version both sides use: min(peer's, own), both taken as unsigned.
uint32_t answerVersion(uint32_t peerVersion, int32_t ownVersion);

} // namespace quillon
