#include "OrderSender.h"

#include "netlib/Socket.h"
#include "protocol/FileHeader.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderHeader.h"

#include <QFile>
#include <algorithm>
#include <utility>

namespace quillon {

OrderSender::OrderSender(SenderOptions options, AckReport report)
    : m_options(std::move(options)), m_report(std::move(report)) {}

bool OrderSender::fail(std::string error) {
    if (m_error.empty())
        m_error = std::move(error);
    return false;
}

bool OrderSender::expectAck(Socket& socket, const char* step, int64_t expected) {
    ByteData bytes;
    if (!socket.ReceiveBytesN(4, bytes))
        return fail(std::string("no acknowledgement of the ") + step +
                    " (the connection closed or stayed silent)");
    Acknowledgement ack{step, int32_t(bytes.u32At(0)), expected};
    m_acks.push_back(ack);
    if (m_report)
        m_report(ack);
    if (!ack.matches())
        return fail(std::string("the ") + step + " was acknowledged with " +
                    std::to_string(ack.value) + " instead of " + std::to_string(expected));
    return true;
}

bool OrderSender::sendFile(Socket& socket, const OrderFile& file) {
    std::string read;
    if (!file.path.isEmpty()) {
        QFile in(file.path);
        if (!in.open(QIODevice::ReadOnly))
            return fail("cannot read " + file.path.toStdString() + ": " +
                        in.errorString().toStdString());
        read = in.readAll().toStdString();
    }
    const std::string& data = file.path.isEmpty() ? file.data : read;
    FileHeader header;
    header.size = uint32_t(std::max<int64_t>(0, int64_t(data.size()) + file.sizeLie));
    header.name = file.name;
    ByteData encoded = encodeFileHeader(header);
    if (!socket.SendBytes(encoded))
        return fail("the file header of " + file.name + " could not be sent");
    if (!expectAck(socket, "file-header", int64_t(encoded.size())))
        return false;
    const size_t blockSize = size_t(std::max(m_options.blockSize, 1));
    for (size_t offset = 0; offset < data.size(); offset += blockSize) {
        const size_t block = std::min(blockSize, data.size() - offset);
        const int64_t stall = m_options.stallAfterBytes;
        if (stall >= 0 && m_fileBytesSent + int64_t(block) > stall) {
            // Part of the block, then silence until the shop gives up.
            socket.SendBytes(data.data() + offset, size_t(stall - m_fileBytesSent));
            ByteData nothing;
            socket.ReceiveBytes(nothing);
            return fail("fell silent after " + std::to_string(stall) + " file bytes as asked");
        }
        if (!socket.SendBytes(data.data() + offset, block))
            return fail("a block of " + file.name + " could not be sent");
        m_fileBytesSent += int64_t(block);
        if (!expectAck(socket, "block", int64_t(block)))
            return false;
    }
    return true;
}

bool OrderSender::send(const OrderToSend& order) {
    m_fileBytesSent = 0;
    Socket socket;
    const ShopEndpoint& shop = m_options.shop;
    if (!socket.Connect(shop.host, shop.port, false, shop.idleMs))
        return fail("cannot connect to " + shop.host + ":" + std::to_string(shop.port) + ": " +
                    socket.LastErrorText());
    socket.SetReadIdleLimit(shop.idleMs);
    socket.SetSendIdleLimit(shop.idleMs);

    OrderHeader header;
    header.blockSize = m_options.blockSize;
    header.fileCount = int32_t(order.files.size());
    header.setTaxRate(order.taxRate);
    header.title = order.title;
    header.reference1 = order.reference1;
    header.reference2 = order.reference2;
    header.customer = order.email;
    header.orderNumber = order.number;
    header.folder = order.folder;
    ByteData encoded = header.encode();
    if (!socket.SendBytes(encoded))
        return fail("the order header could not be sent");
    // The shop reads the item list whatever it made of the header, so a
    // wrong count here is noted and the order goes on.
    bool headerTaken = expectAck(socket, "header", int64_t(encoded.size()));
    if (!headerTaken && m_acks.empty())
        return false;

    int rc = FramedPacket(kPlainProtocolId, encodeItemList(order.items)).sendPacket(socket);
    if (rc != 1)
        return fail("the item list was not taken (packet result " + std::to_string(rc) + ")");
    if (!expectAck(socket, "ready", 1))
        return false;

    for (size_t i = 0; i < order.files.size(); ++i) {
        if (int(i) == m_options.disconnectAfterFiles)
            return headerTaken;
        if (!sendFile(socket, order.files[i]))
            return false;
    }
    // The shop closes after the last file; any byte now is one too many.
    ByteData extra;
    if (socket.ReceiveBytes(extra))
        return fail("the shop sent " + std::to_string(extra.size()) +
                    " unexpected bytes after the last file");
    return headerTaken;
}

} // namespace quillon
