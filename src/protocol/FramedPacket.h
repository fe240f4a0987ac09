#pragma once

#include "netlib/ByteData.h"
#include "netlib/Socket.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillon {

// Protocol identifiers written into, or checked in, packet headers.
inline constexpr uint32_t kPlainProtocolId = 33999;   // body of a plain exchange
inline constexpr uint32_t kSessionProtocolId = 34255; // body of a session exchange
inline constexpr uint32_t kProductListProtocolId = 1; // reply to the product list fetch

// A body with an 8-byte header (`protocolId`, `length`), sent in chunks of
// at most 4096 bytes, each acknowledged by the receiver with the count it got.
class FramedPacket {
public:
    static constexpr size_t kHeaderSize = 8;
    static constexpr size_t kChunkSize = 4096;
    static constexpr size_t kDefaultMaxBodySize = size_t(64) << 20;
    static constexpr std::array<std::string_view, 2> errors{"Broken socket connection.",
                                                            "Protocol ID mismatch."};

    FramedPacket() = default;
    FramedPacket(uint32_t protocolId, ByteData body);

    uint32_t protocolId() const { return m_protocolId; }
    // The declared body length: set with the body, or read from the header.
    uint32_t length() const { return m_length; }
    const ByteData& body() const { return m_body; }
    ByteData takeBody();

    void setBody(ByteData body);

    // Declared lengths above this are refused before anything is allocated.
    void setMaxBodySize(size_t bytes) { m_maxBodySize = bytes; }

    // 1 when sent; -5 header not sent, -6 its acknowledgement not received,
    // -7 shorter than 4 bytes, -8 not 8; -2 a chunk not sent, -3 its
    // acknowledgement not received, -4 shorter than 4 bytes, -1 not the
    // chunk size.
    int sendPacket(Socket& socket) const;
    // 1 when received; -2 header not received, -1 header torn (its count
    // was acknowledged), -3 header acknowledgement not sent, -4 a receive
    // failed inside a chunk, -5 a chunk acknowledgement not sent. On failure
    // the body is released.
    int receivePacket(Socket& socket);

private:
    uint32_t m_protocolId = 0;
    uint32_t m_length = 0;
    ByteData m_body;
    size_t m_maxBodySize = kDefaultMaxBodySize;
};

} // namespace quillon
