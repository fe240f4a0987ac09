#include "orders/Reception.h"

#include "netlib/Socket.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/FolderRegistry.h"
#include "orders/PictureTable.h"
#include "orders/PluginHost.h"
#include "orders/SummaryBuilder.h"
#include "protocol/FileHeader.h"
#include "protocol/FramedPacket.h"
#include "protocol/ItemList.h"
#include "protocol/OrderHeader.h"
#include "protocol/WireReader.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <memory>

namespace quillon {

namespace {

constexpr size_t kReceiveSize = 65536;

// Acknowledgements that are not counts.
constexpr int32_t kHeaderTooShort = -2;
constexpr int32_t kHeaderNotReceived = -3;
constexpr int32_t kFolderRefused = -1;
constexpr int32_t kReady = 1;

bool sendAck(Socket& s, int32_t value) {
    return s.SendU32(uint32_t(value));
}

std::unique_ptr<OrderEntry> makeEntry(const OrderHeader& header, const ItemList& items, int rowId,
                                      const Clock& clock) {
    auto order = std::make_unique<OrderEntry>();
    order->reference1 = header.reference1;
    order->reference2 = header.reference2;
    order->customer = header.customer;
    order->orderNumber = header.orderNumber;
    order->folder = header.folder;
    order->taxRate = header.taxRate();
    order->received = uint32_t(clock.now());
    order->rowId = rowId;
    size_t lines = 0;
    for (const ItemListPicture& p : items)
        lines += p.items.size();
    order->pictures.reserve(items.size(), lines);
    for (const ItemListPicture& p : items) {
        const std::span<ItemLine> added = order->pictures.add(p.name, p.items.size());
        for (size_t i = 0; i < p.items.size(); ++i)
            added[i] = ItemLine{int32_t(p.items[i].code), int32_t(p.items[i].quantity), nullptr};
    }
    return order;
}

bool makeOrderFolder(const ReceptionParams& params, const std::string& folder) {
    bool allowed = folderLiesInside(params.rootpath, folder) ||
                   (params.handedOut && !folder.empty() && params.handedOut->contains(folder));
    return allowed && QDir().mkdir(qtPath(folder));
}

// One picture file: its blocks, each acknowledged with what arrived in it,
// written to the file as they come. False when the order must be aborted;
// a file that cannot be made or written aborts it too, since a block is
// acknowledged only once it is stored. A file cut short is removed.
bool receiveFile(Socket& connection, const FileHeader& file, int32_t blockSize,
                 const std::string& path) {
    uint64_t remaining = file.size;
    // A block that can never fill would stall the sender and the worker.
    if (remaining > 0 && blockSize <= 0)
        return false;
    QFile out(qtPath(path));
    // Each receive is written straight through, without a copy in a buffer.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    auto fail = [&out] {
        out.close();
        out.remove();
        return false;
    };
    // Received into straight, never cleared: only what a receive brought
    // is written.
    const auto chunk = std::make_unique_for_overwrite<char[]>(kReceiveSize);
    while (remaining > 0) {
        uint64_t blockCount = 0;
        while (blockCount < uint64_t(blockSize) && remaining > 0) {
            // One byte more than the file still needs shows a sender that
            // runs past the size it declared.
            size_t limit = size_t(std::min<uint64_t>(kReceiveSize, remaining + 1));
            const size_t got = connection.ReceiveSome(chunk.get(), limit);
            if (got == 0 || got > remaining)
                return fail();
            if (out.write(chunk.get(), qint64(got)) != qint64(got))
                return fail();
            remaining -= got;
            blockCount += got;
        }
        if (!sendAck(connection, int32_t(blockCount)))
            return fail();
    }
    out.close();
    return out.error() == QFileDevice::NoError || fail();
}

// Why a sender's side ended early: silence past the idle limit, or a
// connection that went away.
std::string lostSenderReason(const Socket& connection, int idleLimitMs) {
    if (!connection.TimedOut())
        return "the sender went away";
    char text[64];
    std::snprintf(text, sizeof text, "the sender was silent for %g s", idleLimitMs / 1000.0);
    return text;
}

} // namespace

void linkProducts(OrderEntry& order, const ProductList* products) {
    for (ItemLine& line : order.pictures.lines())
        line.product = findProduct(products, line.code);
}

float orderAmount(const OrderEntry& order) {
    float total = 0.0f;
    for (const PictureView picture : order.pictures)
        for (const ItemLine& line : picture.items)
            if (line.product)
                total += float(line.quantity) * line.product->price;
    return (order.taxRate * 0.01f + 1.0f) * total;
}

void receiveOrder(ReceptionParams params) {
    Socket& connection = *params.connection;
    connection.SetMaxReceiveSize(kReceiveSize);
    // A sender that stalls must not hold its worker for ever.
    connection.SetReadIdleLimit(params.idleLimitMs);
    connection.SetSendIdleLimit(params.idleLimitMs);

    OrderHeader header;
    std::unique_ptr<OrderEntry> order;
    // Before the item list has arrived, the entry holds what the header gave.
    auto abort = [&](const std::string& reason) {
        connection.Close();
        if (!order)
            order = makeEntry(header, {}, params.rowId, *params.clock);
        if (params.events.aborted)
            params.events.aborted(std::move(order), reason);
    };
    auto senderLost = [&] { return lostSenderReason(connection, params.idleLimitMs); };

    ByteData received;
    int32_t headerAck = kHeaderNotReceived;
    if (connection.ReceiveBytes(received)) {
        int used = header.decode(received);
        headerAck = used < 0 ? kHeaderTooShort : used;
    }
    sendAck(connection, headerAck);
    if (headerAck == kHeaderNotReceived) {
        abort(senderLost());
        return;
    }

    FramedPacket itemPacket;
    itemPacket.setMaxBodySize(params.maxItemListSize);
    if (itemPacket.receivePacket(connection) != 1) {
        abort(connection.TimedOut() ? senderLost() : "the item list did not arrive whole");
        return;
    }
    Decoded<ItemList> items = decodeItemList(bytesOf(itemPacket.body()));

    order = makeEntry(header, items.value, params.rowId, *params.clock);

    if (!makeOrderFolder(params, order->folder)) {
        sendAck(connection, kFolderRefused);
        abort("its folder could not be created");
        return;
    }
    const PluginHost* plugins =
        params.plugins && !params.plugins->empty() ? params.plugins : nullptr;
    std::unique_ptr<PictureTable> table;
    if (plugins) {
        table = std::make_unique<PictureTable>(*order);
        plugins->beginData(order->customer, order->orderNumber, order->folder, *table);
    }
    if (!sendAck(connection, kReady)) {
        abort(senderLost());
        return;
    }

    const int fileCount = std::max(header.fileCount, 0);
    for (int k = 1; k <= fileCount; ++k) {
        received.clear();
        if (!connection.ReceiveBytes(received)) {
            abort(senderLost());
            return;
        }
        sendAck(connection, int32_t(received.size()));
        Decoded<FileHeader> file = decodeFileHeader(bytesOf(received));
        // A name from the sender must stay inside the order folder.
        if (!file.ok || !isPlainFileName(file.value.name)) {
            abort("a file name was not a plain name");
            return;
        }
        std::string path = joinPath(order->folder, file.value.name);
        if (!receiveFile(connection, file.value, header.blockSize, path)) {
            abort(connection.TimedOut() ? senderLost()
                                        : "the file " + file.value.name + " did not arrive whole");
            return;
        }
        if (plugins)
            plugins->dataStep(k - 1, order->orderNumber, order->folder, file.value.name,
                              table->entry(size_t(k - 1)));
        if (params.events.progress)
            params.events.progress(params.rowId, k, fileCount, order->orderNumber);
    }

    linkProducts(*order, params.products.get());
    order->amount = orderAmount(*order);
    if (params.makeSummary) {
        buildSummaryAndThumbnails(*order, header.title, *params.clock);
    } else {
        for (const ItemLine& line : order->pictures.lines())
            order->itemCount += line.quantity;
    }

    if (plugins)
        plugins->endData(order->customer, order->orderNumber, order->folder, *table);
    connection.Close();
    if (params.events.completed)
        params.events.completed(std::move(order));
}

} // namespace quillon
