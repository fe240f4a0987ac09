#include "protocol/FlatRecord.h"

namespace quillon {

int FlatRecord::decode(std::span<const uint8_t> bytes) {
    return decodeFields(m_fields, bytes, 0);
}

int FlatRecord::receive(Socket& socket) {
    ByteData bytes;
    if (!socket.ReceiveBytes(bytes))
        return -3;
    return decode(bytes);
}

ByteData FlatRecord::encode() const {
    ByteData out;
    encodeFields(m_fields, out);
    return out;
}

} // namespace quillon
