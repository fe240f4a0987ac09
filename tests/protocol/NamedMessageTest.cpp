#include "protocol/HistoryMessage.h"
#include "protocol/NamedMessageResponder.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <bit>

using namespace quillon;
using namespace testsupport;

namespace {

// Sets the row fields that tell rows apart; the others keep their values.
void setRow(HistoryMessage& m, const std::string& orderno, float amount, int32_t date) {
    m.setString("orderno", orderno, NamedList::Row);
    m.setUInt("amount", std::bit_cast<uint32_t>(amount), NamedList::Row);
    m.setInt("date", date, NamedList::Row);
}

std::string rowText(const HistoryMessage& m) {
    std::string orderno, pmnt;
    uint32_t amount = 0;
    int32_t date = 0;
    if (m.getString("orderno", orderno) || m.getUInt("amount", amount) || m.getInt("date", date) ||
        m.getString("pmnt", pmnt))
        return "missing";
    return orderno + "|" + std::to_string(std::bit_cast<float>(amount)) + "|" +
           std::to_string(date) + "|" + pmnt;
}

ByteData rowsBody(uint32_t count, const ByteData& rows) {
    ByteData body;
    body.appendU32(count);
    body.append(rows.data(), rows.size());
    return body;
}

} // namespace

TEST(NamedMessage, FieldsAreFoundByNameAndType) {
    HistoryMessage m;
    EXPECT_EQ(m.setInt("shopid", 1), 1) << "shopid is a String";
    EXPECT_EQ(m.setString("nosuch", "x"), 1);
    EXPECT_EQ(m.setInt("returncode", 1), 1) << "returncode is not a request field";
    std::string text = "kept";
    EXPECT_EQ(m.getString("orderno", text), 0);
    EXPECT_EQ(text, "") << "a String starts empty";
    EXPECT_FALSE(m.addRowField(0, FieldType::Blob, "logo") ||
                 m.addRowField(NamedMessage::kMaxVersions, FieldType::Int32, "far"));
}

// The exchange with rows is the history window's test against the simulated
// service; here how rows are read in turn, and where they stop.
TEST(NamedMessage, RowsAreReadInTurnAndStopAtTheirEnd) {
    HistoryMessage writer;
    writer.setString("pmnt", "PayPal", NamedList::Row);
    setRow(writer, "ORD-1  ", 12.5f, 90101);
    ByteData one = writer.encodeList(NamedList::Row);
    setRow(writer, "ORD-2", 0.25f, 201231);
    ByteData two = one;
    two.append(writer.encodeList(NamedList::Row).view());

    HistoryMessage m;
    EXPECT_EQ(m.firstRow(), 2) << "no rows before any data";
    m.setRowData(rowsBody(2, two));
    ASSERT_EQ(m.rowCount(), 2u);
    ASSERT_EQ(m.firstRow(), 0);
    EXPECT_EQ(rowText(m), "ORD-1  |12.500000|90101|PayPal");
    ASSERT_EQ(m.nextRow(), 0);
    EXPECT_EQ(rowText(m), "ORD-2|0.250000|201231|PayPal");
    // No row is left: the fields keep the last row, and firstRow starts over.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(m.nextRow(), 2);
    EXPECT_EQ(rowText(m), "ORD-2|0.250000|201231|PayPal");
    ASSERT_EQ(m.firstRow(), 0);
    EXPECT_EQ(rowText(m), "ORD-1  |12.500000|90101|PayPal");

    m.setRowData(rowsBody(0, one));
    EXPECT_EQ(m.firstRow(), 2);

    // The count claims 1000 rows; one is there, the second is cut short.
    ByteData torn = one;
    torn.append(one.data(), one.size() - 3);
    m.setRowData(rowsBody(1000, torn));
    EXPECT_EQ(m.firstRow(), 0);
    EXPECT_EQ(m.nextRow(), -2);
    EXPECT_EQ(rowText(m), "ORD-1  |12.500000|90101|PayPal")
        << "a torn row leaves the fields as they were";
    EXPECT_EQ(m.nextRow(), 2);

    m.setRowData(ByteData("\x01\x00")); // shorter than its count word
    EXPECT_EQ(std::tuple(m.rowCount(), m.firstRow()), std::tuple(0u, 2));
}

TEST(NamedMessage, OpenReportsEachFailure) {
    HistoryMessage m;
    Socket unconnected;
    EXPECT_EQ(m.open(unconnected), -1);
    std::vector<std::pair<std::string, int>> cases = {
        {"", -2}, {u32le(0).substr(0, 3), -3}, {u32le(1), -4}, {u32le(0), 0}};
    for (const auto& [answer, expected] : cases) {
        SCOPED_TRACE(expected);
        ByteData opening;
        LoopbackPeer peer([&](Socket& s) {
            s.ReceiveBytesN(12, opening);
            scripted({{0, answer}})(s);
        });
        auto client = peer.connect();
        ASSERT_TRUE(client);
        EXPECT_EQ(m.open(*client), expected);
        peer.finish();
        EXPECT_EQ(opening.view(), MessageHeader({10, 2, 0}).encode().view());
    }
}

TEST(NamedMessage, TransactReportsEachFailure) {
    // The request is read with one receive; what follows is each case's.
    std::vector<std::pair<std::string, int>> cases = {
        {"", -3}, {u32le(1).substr(0, 2), -4}, {u32le(1), -2}};
    for (const auto& [reply, expected] : cases) {
        SCOPED_TRACE(expected);
        LoopbackPeer peer([&](Socket& s) {
            ByteData request;
            s.ReceiveBytes(request);
            if (!reply.empty())
                scripted({{0, reply}, {4, ""}})(s);
        });
        auto client = peer.connect();
        ASSERT_TRUE(client);
        HistoryMessage m;
        EXPECT_EQ(m.transact(*client), expected);
    }
}

TEST(NamedMessage, ResponderAnswersTheLowerVersionAndNeedsTheRequest) {
    bool received = true;
    HistoryMessage service;
    LoopbackPeer peer(
        [&](Socket& s) { received = NamedMessageResponder(service).receiveRequest(s); });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    client->SendBytes(MessageHeader{10, 2, 7}.encode());
    ByteData answer;
    client->ReceiveBytesN(4, answer);
    client.reset(); // no request fields follow
    peer.finish();
    EXPECT_EQ(std::tuple(answer.view(), received), std::tuple(u32le(0), false));
}
