#include "protocol/ChatBlobs.h"
#include "protocol/LogoutRequest.h"
#include "protocol/ProductListFetch.h"
#include "protocol/ProductListWire.h"
#include "protocol/ShopSetupConfirmation.h"

#include "support/LoopbackPeer.h"
#include "support/ProductListText.h"

#include <gtest/gtest.h>

using namespace quillon;
using testsupport::prefix;
using testsupport::productListText;
using testsupport::u32le;

namespace {

ProductList sampleProducts() {
    return {{101, 0.35f, "10x15 glossy"}, {-2, 12.5f, ""}, {7, 99.99f, "Poster A1"}};
}

} // namespace

TEST(RawRequests, LogoutRequestAndReply) {
    SessionBlock session("SHOP1", "TOKEN-A", "TOKEN-B");
    ByteData wire = buildLogoutRequest(session);
    // L counts the characters only.
    EXPECT_EQ(wire.view(), u32le(3) +
                               std::string(reinterpret_cast<const char*>(session.bytes().data()),
                                           SessionBlock::kSize) +
                               u32le(4) + std::string("Bye!\0", 5));

    auto parsed = parseLogoutRequest(bytesOf(wire));
    EXPECT_EQ(std::tie(parsed.ok, parsed.used, parsed.value.session, parsed.value.text),
              std::tuple(true, wire.size(), session, "Bye!"));
    for (size_t size = 0; size < wire.size(); ++size)
        EXPECT_FALSE(parseLogoutRequest(bytesOf(prefix(wire, size))).ok) << size;
    ByteData huge = prefix(wire, 100);
    huge.appendU32(0xFFFFFFFF);
    EXPECT_FALSE(parseLogoutRequest(bytesOf(huge)).ok);

    auto reply = parseLogoutReply(bytesOf(buildLogoutReply(-2)));
    EXPECT_EQ(std::tuple(reply.ok, reply.value.tag, reply.value.result), std::tuple(true, 3u, -2));
    ByteData tagOnly;
    tagOnly.appendU32(3);
    auto partial = parseLogoutReply(bytesOf(tagOnly));
    EXPECT_EQ(std::tuple(partial.ok, partial.value.tag), std::tuple(false, 3u));
    EXPECT_FALSE(parseLogoutReply(bytesOf(ByteData("\x03"))).ok);
}

TEST(RawRequests, ProductListFetchRequest) {
    ByteData wire = buildProductListFetch("SHOP1");
    // L counts the NUL.
    EXPECT_EQ(wire.view(), u32le(5) + u32le(1) + u32le(6) + std::string("SHOP1\0", 6));
    EXPECT_EQ(parseProductListFetch(bytesOf(wire)), "SHOP1");
    EXPECT_FALSE(parseProductListFetch(bytesOf(prefix(wire, 17))) ||
                 parseProductListFetch(bytesOf(buildLogoutReply(1))));
}

TEST(RawRequests, ProductListReply) {
    ByteData one = encodeProductList({{5, 2.0f, ""}});
    EXPECT_EQ(one.view(), std::string_view("\x05\0\0\0\0\0\0\x40\x01\0\0\0\0", 13));
    ByteData body = buildProductListReplyBody(sampleProducts());
    EXPECT_EQ(std::tuple(body.size(), body.u32At(12)),
              std::tuple(16u + (12 + 13) + 13 + (9 + 13), 3u));
    auto d = decodeProductListReply(bytesOf(body));
    EXPECT_EQ(std::tuple(d.ok, d.used, productListText(d.value)),
              std::tuple(true, body.size(), productListText(sampleProducts())));

    // Bytes 0 to 11 are not read; a count of 0 is an empty list, not none.
    ByteData empty(std::string(12, '\xAB'));
    empty.appendU32(0);
    auto none = decodeProductListReply(bytesOf(empty));
    EXPECT_EQ(std::tuple(none.ok, none.value.size()), std::tuple(true, 0u));

    for (size_t size = 0; size < body.size(); ++size)
        EXPECT_FALSE(decodeProductListReply(bytesOf(prefix(body, size))).ok) << size;

    // A count far beyond the body fails after the entries that are there.
    ByteData inflated = body;
    writeU32LE(inflated.data() + 12, 0xFFFFFFFF);
    auto over = decodeProductListReply(bytesOf(inflated));
    EXPECT_EQ(std::tuple(over.ok, over.value.size()), std::tuple(false, 3u));
}

TEST(RawRequests, ConfirmationRequest) {
    std::string text = confirmationText("O1000042", "shop@example.com");
    EXPECT_EQ(text, "O1000042;shop@example.com");
    ByteData wire = buildConfirmationRequest(text);
    EXPECT_EQ(wire.view(), u32le(1) + u32le(uint32_t(text.size())) + text + '\0');
    auto parsed = parseConfirmationRequest(bytesOf(wire));
    EXPECT_EQ(std::tie(parsed.ok, parsed.value), std::tuple(true, text));
    EXPECT_FALSE(parseConfirmationRequest(bytesOf(prefix(wire, wire.size() - 1))).ok);
}

TEST(RawRequests, ConfirmationReply) {
    auto ok = parseConfirmationReply(bytesOf(buildConfirmationReply(1, "Shop confirmed.")));
    EXPECT_EQ(std::tie(ok.ok, ok.value.tag, ok.value.result, ok.value.message),
              std::tuple(true, 1u, 1, "Shop confirmed."));

    // A message cut short by the receive: what came is kept, not more. An
    // empty message (a reply of 12 bytes) is the shop setup requests' test.
    ByteData torn = prefix(buildConfirmationReply(-1, "Unknown shop ID."), 16);
    auto cut = parseConfirmationReply(bytesOf(torn));
    EXPECT_EQ(std::tie(cut.ok, cut.value.result, cut.value.message), std::tuple(false, -1, "Unkn"));
    EXPECT_FALSE(parseConfirmationReply(bytesOf(prefix(torn, 11))).ok);
}

TEST(ChatBlobs, LinePairsRoundTripAndStopAtATornPair) {
    std::vector<ChatLinePair> pairs = {{"Support", "Welcome to the chat."}, {"", ""}};
    ByteData wire = encodeLinePairs(pairs);
    auto d = decodeLinePairs(bytesOf(wire));
    EXPECT_EQ(std::tie(d.ok, d.value), std::tuple(true, pairs));
    EXPECT_TRUE(decodeLinePairs({}).ok);

    auto torn = decodeLinePairs(bytesOf(prefix(wire, wire.size() - 1)));
    EXPECT_EQ(std::tie(torn.ok, torn.value),
              std::tuple(false, std::vector<ChatLinePair>{pairs[0]}));
}

TEST(ChatBlobs, RecordsRoundTripAndBoundTheirLineCount) {
    ChatRecord mine{"Ann", {"first", "", "third"}};
    ByteData one = encodeChatRecord(mine);
    EXPECT_EQ(std::tuple(one.size(), one.u32At(8)),
              std::tuple((4u + 4) + 4 + (4 + 6) + (4 + 1) + (4 + 6), 3u));
    std::vector<ChatRecord> records = {mine, {"Support", {}}};
    auto d = decodeChatRecords(bytesOf(encodeChatRecords(records)));
    EXPECT_EQ(std::tie(d.ok, d.value), std::tuple(true, records));

    ByteData lying;
    lying.append(std::string_view("\x02\0\0\0X\0", 6));
    lying.appendU32(0x7FFFFFFF);
    lying.append(std::string_view("\x01\0\0\0\0", 5));
    auto bad = decodeChatRecords(bytesOf(lying));
    EXPECT_EQ(std::tuple(bad.ok, bad.value.size()), std::tuple(false, 0u));
}
