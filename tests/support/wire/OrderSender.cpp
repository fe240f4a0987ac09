#include "support/wire/OrderSender.h"

#include "netlib/Socket.h"
#include "protocol/FileHeader.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderHeader.h"

#include <algorithm>

namespace testsupport {

using namespace quillon;

namespace {

bool readAck(Socket& s, SendResult& r) {
    ByteData b;
    if (!s.ReceiveBytesN(4, b))
        return false;
    r.acks.push_back(int32_t(b.u32At(0)));
    return true;
}

} // namespace

SendResult sendOrder(int port, const OrderToSend& order) {
    SendResult r;
    Socket s;
    s.SetReadIdleLimit(15000);
    s.SetSendIdleLimit(15000);
    if (!s.Connect("127.0.0.1", port, false, 5000))
        return r;
    r.connected = true;

    OrderHeader header;
    header.blockSize = order.blockSize;
    header.fileCount = int32_t(order.files.size());
    header.setTaxRate(order.taxRate);
    header.title = order.title;
    header.reference1 = order.reference1;
    header.reference2 = order.reference2;
    header.customer = order.customer;
    header.orderNumber = order.orderNumber;
    header.folder = order.folder;
    if (!s.SendBytes(header.encode()) || !readAck(s, r))
        return r;

    FramedPacket items(kPlainProtocolId, encodeItemList(order.items));
    if (items.sendPacket(s) != 1 || !readAck(s, r) || r.acks.back() != 1)
        return r;

    int sent = 0;
    int64_t bytesSent = 0;
    for (size_t i = 0; i < order.files.size(); ++i) {
        if (sent == order.disconnectAfterFiles)
            return r; // the socket closes here
        const OrderToSend::File& file = order.files[i];
        FileHeader fh;
        fh.size = uint32_t(file.data.size());
        fh.name = file.name;
        if (!s.SendBytes(encodeFileHeader(fh)) || !readAck(s, r))
            return r;
        size_t block = size_t(std::max(order.blockSize, 1));
        bool lastFile = i + 1 == order.files.size();
        for (size_t off = 0; off < file.data.size(); off += block) {
            size_t n = std::min(block, file.data.size() - off);
            std::string chunk = file.data.substr(off, n);
            if (lastFile && off + n == file.data.size())
                chunk.append(order.extraBytesInLastBlock, 'X');
            if (order.stallAfterBytes >= 0 && bytesSent + int64_t(n) > order.stallAfterBytes) {
                // Part of the block, then silence until the shop gives up.
                s.SendBytes(chunk.data(), size_t(order.stallAfterBytes - bytesSent));
                bytesSent = order.stallAfterBytes;
                break;
            }
            bytesSent += int64_t(n);
            if (!s.SendBytes(chunk.data(), chunk.size()) || !readAck(s, r))
                return r;
        }
        if (bytesSent == order.stallAfterBytes)
            break;
        ++sent;
    }
    ByteData rest;
    r.closedByShop = !s.ReceiveBytes(rest);
    return r;
}

} // namespace testsupport
