#include "protocol/FileHeader.h"
#include "protocol/ItemList.h"
#include "protocol/OrderHeader.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace quillon;
using testsupport::LoopbackPeer;
using testsupport::prefix;
using testsupport::u32le;

namespace {

// Fields point into the record, so it is filled in place.
void fillSample(OrderHeader& header) {
    std::tie(header.unused, header.blockSize, header.fileCount) = std::tuple(-1, 4096, 2);
    header.setTaxRate(7.5f);
    std::tie(header.title, header.reference1, header.customer, header.orderNumber, header.folder) =
        std::tuple("T", "R1", "a@b", "42", "/o/42");
}

ItemList sampleItems() {
    return {{"IMG_0001.JPG", {{101, 2}, {205, 1}}}, {"b.png", {}}, {"c.jpg", {{7, 300}}}};
}

} // namespace

// The simulated sender uses these codecs too, so a fault shared by both
// sides would still round-trip: here the bytes are written out by hand.
TEST(OrderFormats, OrderHeaderAndItemListBytesOnTheWire) {
    auto bytes = [](const ByteData& data) {
        return std::vector<uint8_t>(data.view().begin(), data.view().end());
    };
    const std::vector<uint8_t> headerBytes = {
        0xFF, 0xFF, 0xFF, 0xFF, // not used: -1
        0x00, 0x10, 0x00, 0x00, // block size 4096
        0x02, 0x00, 0x00, 0x00, // two files
        0x00, 0x00, 0xF0, 0x40, // tax rate 7.5 as a single-precision value
        // Each text: u32 characters + 1, the characters, a NUL.
        2, 0, 0, 0, 'T', 0,                      // title
        3, 0, 0, 0, 'R', '1', 0,                 // first reference
        1, 0, 0, 0, 0,                           // second reference, empty
        4, 0, 0, 0, 'a', '@', 'b', 0,            // customer
        3, 0, 0, 0, '4', '2', 0,                 // order number
        6, 0, 0, 0, '/', 'o', '/', '4', '2', 0}; // order folder
    OrderHeader sample;
    fillSample(sample);
    EXPECT_EQ(bytes(sample.encode()), headerBytes);
    OrderHeader decoded;
    EXPECT_EQ(decoded.decode(headerBytes), int(headerBytes.size()));
    EXPECT_EQ(std::tuple(decoded.blockSize, decoded.taxRate(), decoded.folder),
              std::tuple(4096, 7.5f, "/o/42"));
    for (size_t size = 0; size < headerBytes.size(); ++size) {
        OrderHeader partial;
        ASSERT_EQ(partial.decode(std::span(headerBytes).first(size)), -2) << size;
    }

    const ItemList items = {{"a.jpg", {{101, 2}, {205, 1}}}, {"b", {}}};
    const std::vector<uint8_t> itemBytes = {
        0x02, 0x00, 0x00, 0x00,                                    // two pictures
        0x06, 0x00, 0x00, 0x00, 'a',  '.',  'j',  'p',  'g', 0x00, // name length with its NUL, name
        0x02, 0x00, 0x00, 0x00,                                    // two items:
        0x65, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,            // code 101, quantity 2
        0xCD, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,            // code 205, quantity 1
        0x02, 0x00, 0x00, 0x00, 'b',  0x00,                        // "b"
        0x00, 0x00, 0x00, 0x00};                                   // no items
    EXPECT_EQ(bytes(encodeItemList(items)), itemBytes);
    auto decodedItems = decodeItemList(itemBytes);
    EXPECT_EQ(std::tie(decodedItems.ok, decodedItems.used, decodedItems.value),
              std::tuple(true, itemBytes.size(), items));
}

// Every reception test receives whole headers; a peer that sends none is -3.
TEST(OrderFormats, OrderHeaderFromASilentPeer) {
    int result = 0;
    LoopbackPeer silent([&](Socket& s) { result = OrderHeader().receive(s); });
    silent.connect();
    silent.finish();
    EXPECT_EQ(result, -3);
}

// The bytes and a whole round trip are the test above.
TEST(OrderFormats, ATruncatedItemListKeepsTheWholePicturesBeforeIt) {
    ByteData wire = encodeItemList(sampleItems());
    // Where the first and the second picture end.
    size_t endOfFirst = encodeItemList({sampleItems()[0]}).size();
    size_t endOfSecond = encodeItemList({sampleItems()[0], sampleItems()[1]}).size();
    for (size_t size = 0; size < wire.size(); ++size) {
        SCOPED_TRACE(size);
        auto d = decodeItemList(bytesOf(prefix(wire, size)));
        EXPECT_EQ(std::tuple(d.ok, d.value.size()), std::tuple(false, size < endOfFirst    ? 0u
                                                                      : size < endOfSecond ? 1u
                                                                                           : 2u));
    }
}

TEST(OrderFormats, ItemListCountsAreBoundedByTheBytesThatCame) {
    // A picture count and an item count of 4 billion over a few bytes: no
    // huge allocation, a quick failure.
    const ByteData wire(u32le(0xFFFFFFFF) + u32le(2) + std::string("a\0", 2) + u32le(0xFFFFFFFF) +
                        u32le(1) + u32le(1));
    auto start = std::chrono::steady_clock::now();
    auto d = decodeItemList(bytesOf(wire));
    EXPECT_EQ(std::tuple(d.ok, d.value.size()), std::tuple(false, 0u));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // A name without its NUL is cut at the picture's length.
    auto named = decodeItemList(bytesOf(ByteData(u32le(1) + u32le(3) + "abc" + u32le(0))));
    ASSERT_TRUE(named.ok);
    EXPECT_EQ(named.value[0].name, "abc");
}

TEST(OrderFormats, FileHeader) {
    FileHeader sent{{1, 2, 3}, 10000, "IMG_0001.JPG"};
    ByteData wire = encodeFileHeader(sent);
    ASSERT_EQ(wire.size(), 20u + 13);
    EXPECT_EQ(wire.u32At(16), 13u); // L counts the NUL
    auto d = decodeFileHeader(bytesOf(wire));
    EXPECT_EQ(std::tie(d.ok, d.used, d.value), std::tuple(true, wire.size(), sent));

    for (size_t size = 0; size < wire.size(); ++size)
        EXPECT_FALSE(decodeFileHeader(bytesOf(prefix(wire, size))).ok) << size;

    // A name length beyond what arrived is refused, not read past.
    const std::string head(prefix(wire, 16).view());
    EXPECT_FALSE(decodeFileHeader(bytesOf(ByteData(head + u32le(0xFFFFFFF0) + "x.jpg"))).ok);

    // A name without NUL takes its L bytes.
    auto b = decodeFileHeader(bytesOf(ByteData(head + u32le(5) + "x.jpgTRAILING")));
    EXPECT_EQ(std::tie(b.ok, b.value.name, b.used), std::tuple(true, "x.jpg", 25u));
}
