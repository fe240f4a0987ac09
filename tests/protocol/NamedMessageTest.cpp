#include "protocol/HistoryMessage.h"
#include "protocol/NamedMessageResponder.h"

#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <bit>

using namespace quillon;
using testsupport::LoopbackPeer;

namespace {

struct Row {
    std::string orderno, customer;
    float amount, tax;
    int32_t date, time, status;
    std::string pmnt;
};

void setRow(HistoryMessage& m, const Row& r) {
    m.setString("orderno", r.orderno, NamedList::Row);
    m.setString("customer", r.customer, NamedList::Row);
    m.setUInt("amount", std::bit_cast<uint32_t>(r.amount), NamedList::Row);
    m.setUInt("tax", std::bit_cast<uint32_t>(r.tax), NamedList::Row);
    m.setInt("date", r.date, NamedList::Row);
    m.setInt("time", r.time, NamedList::Row);
    m.setInt("status", r.status, NamedList::Row);
    m.setString("pmnt", r.pmnt, NamedList::Row);
}

Row getRow(const HistoryMessage& m) {
    Row r{};
    uint32_t amount = 0, tax = 0;
    EXPECT_EQ(m.getString("orderno", r.orderno), 0);
    EXPECT_EQ(m.getString("customer", r.customer), 0);
    EXPECT_EQ(m.getUInt("amount", amount), 0);
    EXPECT_EQ(m.getUInt("tax", tax), 0);
    EXPECT_EQ(m.getInt("date", r.date), 0);
    EXPECT_EQ(m.getInt("time", r.time), 0);
    EXPECT_EQ(m.getInt("status", r.status), 0);
    EXPECT_EQ(m.getString("pmnt", r.pmnt), 0);
    r.amount = std::bit_cast<float>(amount);
    r.tax = std::bit_cast<float>(tax);
    return r;
}

ByteData rowsBody(uint32_t count, const ByteData& rows) {
    ByteData body;
    body.appendU32(count);
    body.append(rows.data(), rows.size());
    return body;
}

} // namespace

TEST(NamedMessage, HistoryExchangeWithASimulatedService) {
    std::vector<Row> rows = {{"ORD-1  ", "ann@x", 12.5f, 7.5f, 90101, 1305, 2, "PayPal"},
                             {"ORD-2", "bob@y", 0.0f, 0.0f, 201231, 2359, 0, ""}};
    std::string shopid, token1;
    int32_t from = 0, to = 0;
    bool served = false;
    LoopbackPeer peer([&](Socket& s) {
        HistoryMessage service;
        NamedMessageResponder responder(service);
        if (!responder.receiveRequest(s))
            return;
        service.getString("shopid", shopid, NamedList::Request);
        service.getString("token1", token1, NamedList::Request);
        service.getInt("datetime1", from, NamedList::Request);
        service.getInt("datetime2", to, NamedList::Request);
        service.setInt("returncode", 1, NamedList::Response);
        for (const Row& r : rows) {
            setRow(service, r);
            responder.addRow();
        }
        served = responder.sendResponse(s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    HistoryMessage history;
    ASSERT_EQ(history.open(*client), 0);
    EXPECT_EQ(history.setString("shopid", "SHOP7"), 0);
    EXPECT_EQ(history.setString("token1", "tok"), 0);
    EXPECT_EQ(history.setInt("datetime1", 90101), 0);
    EXPECT_EQ(history.setInt("datetime2", 91231), 0);
    int requestSize = history.transact(*client);
    peer.finish();
    EXPECT_EQ(requestSize, (4 + 6) + (4 + 4) + (4 + 1) + 4 + 4);
    EXPECT_TRUE(served);
    EXPECT_EQ(shopid, "SHOP7");
    EXPECT_EQ(token1, "tok");
    EXPECT_EQ(from, 90101);
    EXPECT_EQ(to, 91231);

    int32_t returncode = 0;
    EXPECT_EQ(history.getInt("returncode", returncode, NamedList::Response), 0);
    EXPECT_EQ(returncode, 1);
    ASSERT_EQ(history.rowCount(), 2u);
    ASSERT_EQ(history.firstRow(), 0);
    Row first = getRow(history);
    EXPECT_EQ(first.orderno, "ORD-1  ");
    EXPECT_EQ(first.amount, 12.5f);
    EXPECT_EQ(first.tax, 7.5f);
    EXPECT_EQ(first.date, 90101);
    EXPECT_EQ(first.pmnt, "PayPal");
    ASSERT_EQ(history.nextRow(), 0);
    Row second = getRow(history);
    EXPECT_EQ(second.orderno, "ORD-2");
    EXPECT_EQ(second.time, 2359);
    // No row is left: the fields keep the last row.
    EXPECT_EQ(history.nextRow(), 2);
    EXPECT_EQ(history.nextRow(), 2);
    EXPECT_EQ(getRow(history).customer, "bob@y");
    // firstRow starts over.
    ASSERT_EQ(history.firstRow(), 0);
    EXPECT_EQ(getRow(history).customer, "ann@x");
}

TEST(NamedMessage, FieldsAreFoundByNameAndType) {
    HistoryMessage m;
    EXPECT_EQ(m.setInt("shopid", 1), 1) << "shopid is a String";
    EXPECT_EQ(m.setString("nosuch", "x"), 1);
    EXPECT_EQ(m.setInt("returncode", 1), 1) << "returncode is not a request field";
    int32_t v = 5;
    EXPECT_EQ(m.getInt("amount", v), 1) << "amount is a UInt32";
    EXPECT_EQ(v, 5);
    std::string text = "kept";
    EXPECT_EQ(m.getString("orderno", text), 0);
    EXPECT_EQ(text, "") << "a String starts empty";
    EXPECT_FALSE(m.addRowField(0, FieldType::Blob, "logo"));
    EXPECT_FALSE(m.addRowField(0, FieldType::SessionBlock, "block"));
    EXPECT_FALSE(m.addRowField(NamedMessage::kMaxVersions, FieldType::Int32, "far"));
}

TEST(NamedMessage, RowsThatRunPastTheDataStop) {
    HistoryMessage writer;
    setRow(writer, {"A", "B", 1, 2, 3, 4, 5, "P"});
    ByteData one = writer.encodeList(NamedList::Row);

    HistoryMessage m;
    EXPECT_EQ(m.firstRow(), 2) << "no rows before any data";
    m.setRowData(rowsBody(0, one));
    EXPECT_EQ(m.firstRow(), 2);

    // The count claims 1000 rows; one is there, the second is cut short.
    ByteData rows = one;
    rows.append(one.data(), one.size() - 3);
    m.setRowData(rowsBody(1000, rows));
    EXPECT_EQ(m.firstRow(), 0);
    EXPECT_EQ(m.nextRow(), -2);
    EXPECT_EQ(getRow(m).orderno, "A") << "a torn row leaves the fields as they were";
    EXPECT_EQ(m.nextRow(), 2);

    // Row data shorter than its count word.
    m.setRowData(ByteData("\x01\x00"));
    EXPECT_EQ(m.rowCount(), 0u);
    EXPECT_EQ(m.firstRow(), 2);
}

TEST(NamedMessage, OpenReportsEachFailure) {
    HistoryMessage m;
    Socket unconnected;
    EXPECT_EQ(m.open(unconnected), -1);

    struct Case {
        const char* what;
        ByteData answer;
        int expected;
    };
    ByteData one, two;
    one.appendU32(1);
    two.appendU32(0);
    std::vector<Case> cases = {{"closes", ByteData(), -2},
                               {"3 bytes", ByteData(std::string_view("\0\0\0", 3)), -3},
                               {"a version without fields", one, -4},
                               {"version 0", two, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteData opening;
        LoopbackPeer peer([&](Socket& s) {
            s.ReceiveBytesN(12, opening);
            if (!c.answer.empty())
                s.SendBytes(c.answer);
        });
        auto client = peer.connect();
        ASSERT_TRUE(client);
        EXPECT_EQ(m.open(*client), c.expected);
        peer.finish();
        EXPECT_EQ(opening.view(), MessageHeader({10, 2, 0}).encode().view());
    }
}

TEST(NamedMessage, TransactReportsEachFailure) {
    struct Case {
        const char* what;
        std::function<void(Socket&)> service;
        int expected;
    };
    auto readRequest = [](Socket& s) {
        ByteData request;
        s.ReceiveBytes(request);
    };
    std::vector<Case> cases = {
        {"closes without a reply", readRequest, -3},
        {"reply of 2 bytes",
         [&](Socket& s) {
             readRequest(s);
             s.SendBytes("\x01\x00", 2);
         },
         -4},
        {"closes before the rows",
         [&](Socket& s) {
             readRequest(s);
             s.SendU32(1);
             ByteData ack;
             s.ReceiveBytesN(4, ack);
         },
         -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPeer peer(c.service);
        auto client = peer.connect();
        ASSERT_TRUE(client);
        HistoryMessage m;
        EXPECT_EQ(m.transact(*client), c.expected);
    }
}

TEST(NamedMessage, ResponderAnswersTheLowerVersion) {
    uint32_t answered = 99;
    bool received = true;
    HistoryMessage service;
    LoopbackPeer peer([&](Socket& s) {
        NamedMessageResponder responder(service);
        received = responder.receiveRequest(s);
    });
    auto client = peer.connect();
    ASSERT_TRUE(client);
    client->SendBytes(MessageHeader{10, 2, 7}.encode());
    ByteData answer;
    if (client->ReceiveBytesN(4, answer))
        answered = answer.u32At(0);
    client.reset(); // no request fields follow
    peer.finish();
    EXPECT_EQ(answered, 0u);
    EXPECT_FALSE(received);
}
