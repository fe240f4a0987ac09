// The messages of the central service and the order network: how the
// codec lays out every field type, and every kind against its table.
#include "protocol/ChangePasswordMessages.h"
#include "protocol/ChatMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/Message.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"
#include "protocol/ProductUpdateMessages.h"
#include "protocol/ShopInfoMessages.h"
#include "protocol/ShopSetupMessages.h"
#include "protocol/StatusMessages.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace quillon;

namespace {

// A message with one field of every type, and a second layout version.
class Probe : public Message {
public:
    Probe() : Message(9, 4, 1) {
        addField(&number);
        addField(&flags);
        addField(&text);
        addField(&sessionBlock());
        addField(&blob);
        addRecord();
        addField(&number);
    }
    int32_t number = 0;
    uint32_t flags = 0;
    std::string text;
    ByteData blob;
};

class HeaderOnly : public Message {
public:
    HeaderOnly() : Message(1, 2) {}
};

class OneString : public Message {
public:
    OneString() : Message(0, 0) { addField(&text); }
    std::string text;
};

ByteData withHeader(uint32_t kind, uint32_t subkind, uint32_t version) {
    return MessageHeader{kind, subkind, version}.encode();
}

constexpr size_t kHeaderFields = 3;

// One letter per field after the header: I Int32, U UInt32, S String,
// B SessionBlock, X Blob.
std::string signature(const Message& m) {
    std::string sig;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields))
        sig += "IUSBX"[size_t(fieldType(f))];
    return sig;
}

template <class... F> struct Overload : F... { using F::operator()...; };

// The values after the header, as text, in wire order.
std::vector<std::string> values(const Message& m) {
    std::vector<std::string> out;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields))
        out.push_back(std::visit(Overload{[](int32_t* p) { return std::to_string(*p); },
                                          [](uint32_t* p) { return "u" + std::to_string(*p); },
                                          [](std::string* p) { return *p; },
                                          [](SessionBlock* p) { return "block:" + p->shopid(); },
                                          [](ByteData* p) { return "blob:" + p->toString(); }},
                                 f));
    return out;
}

// Gives field i a value no other field has.
void fillDistinct(Message& m) {
    size_t i = 0;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields)) {
        const std::string tag = "v" + std::to_string(++i);
        std::visit(
            Overload{[&](int32_t* p) { *p = -int32_t(1000 + i); },
                     [&](uint32_t* p) { *p = 0x80000000u + uint32_t(i); },
                     [&](std::string* p) { *p = tag + std::string(i, '*'); },
                     [&](SessionBlock* p) {
                         *p = SessionBlock("shop" + tag, "tok1" + tag, "tok2" + tag);
                     },
                     [&](ByteData* p) { *p = ByteData(std::string(1, '\0') + "bin" + tag); }},
            f);
    }
}

struct Kind {
    const char* name;
    std::function<std::unique_ptr<Message>()> make;
    int kind;
    int subkind;
    std::string fields;
    size_t sharedBlocks = 0; // fields that are the same session block again
};

template <class T> std::function<std::unique_ptr<Message>()> maker() {
    return [] { return std::make_unique<T>(); };
}

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"ShopSetupRequest", maker<ShopSetupRequest>(), 0, 0, "SSSSSSSSSSSSIISIUX"},
        {"ShopSetupResponse", maker<ShopSetupResponse>(), 0, 0, "IISI"},
        {"LoginRequest", maker<LoginRequest>(), 2, 0, "BBS", 1},
        {"LoginResponse", maker<LoginResponse>(), 2, 0, "BIBS", 1},
        {"ShopInfoUpdateRequest", maker<ShopInfoUpdateRequest>(), 4, 0, "BSSSSSSSSSSIIIUSIIX"},
        {"ShopInfoUpdateResponse", maker<ShopInfoUpdateResponse>(), 4, 0, "BI"},
        {"ShopInfoFetchRequest", maker<ShopInfoFetchRequest>(), 4, 1, "B"},
        {"ShopInfoFetchResponse", maker<ShopInfoFetchResponse>(), 4, 1, "BISSSSSSSSSSIIIUSIIX"},
        {"ProductUpdateRequest", maker<ProductUpdateRequest>(), 4, 2, "BIX"},
        {"ProductUpdateResponse", maker<ProductUpdateResponse>(), 4, 2, "BI"},
        {"ChangePasswordRequest", maker<ChangePasswordRequest>(), 4, 3, "BSSS"},
        {"ChangePasswordResponse", maker<ChangePasswordResponse>(), 4, 3, "BI"},
        {"NewOrderRequest", maker<NewOrderRequest>(), 6, 1, "IISSSUU"},
        {"NewOrderAnswer", maker<NewOrderAnswer>(), 6, 1, "ISSUUI"},
        {"OrderCheckRequest", maker<OrderCheckRequest>(), 6, 2, "SS"},
        {"OrderCheckAnswer", maker<OrderCheckAnswer>(), 6, 2, "ISSS"},
        {"OrderNumberReport", maker<OrderNumberReport>(), 6, 3, "SSIS"},
        {"OrderNumberAnswer", maker<OrderNumberAnswer>(), 6, 3, "I"},
        {"PaymentStatusRequest", maker<PaymentStatusRequest>(), 6, 4, "SSS"},
        {"PaymentStatusAnswer", maker<PaymentStatusAnswer>(), 6, 4, "IISS"},
        {"ChatOpenRequest", maker<ChatOpenRequest>(), 11, 0, "SSISISIIISSIISSISISII"},
        {"ChatCloseRequest", maker<ChatCloseRequest>(), 11, 1, "SI"},
        {"ChatSendRequest", maker<ChatSendRequest>(), 11, 3, "SX"},
        {"ChatPollRequest", maker<ChatPollRequest>(), 11, 6, "S"},
        {"ChatReply", maker<ChatReply>(), 11, 8, "SIX"},
        {"StatusQuery", maker<StatusQuery>(), 11, 9, "S"},
        {"StatusAnswer", maker<StatusAnswer>(), 11, 9, "IISISIIISSIISSSISISIII"},
    };
    return all;
}

} // namespace

TEST(MessageCodec, EncodesEveryTypeInOrder) {
    Probe p;
    std::tie(p.number, p.flags, p.text, p.sessionBlock(), p.blob) =
        std::tuple(-2, 0x80000001, "abc", SessionBlock("shop", "t1", "t2"), ByteData("xyz"));
    ByteData wire = p.encode(0);
    ASSERT_EQ(wire.size(), p.encodedSize(0));
    ASSERT_EQ(wire.size(), 12u + 4 + 4 + 8 + 96 + 7);
    EXPECT_EQ(wire.view().substr(0, 20),
              std::string_view("\x09\0\0\0\x04\0\0\0\x01\0\0\0\xFE\xFF\xFF\xFF\x01\0\0\x80", 20));
    EXPECT_EQ(wire.view().substr(20, 8), std::string_view("\x04\0\0\0abc\0", 8));
    EXPECT_EQ(wire.view().substr(28, 6), std::string_view("shop\0\0", 6));
    EXPECT_EQ(wire.view().substr(60, 3), std::string_view("t1\0", 3));
    EXPECT_EQ(wire.view().substr(92, 3), std::string_view("t2\0", 3));
    EXPECT_EQ(wire.view().substr(124), std::string_view("\x03\0\0\0xyz", 7));
    // Record 1 holds the header and one Int32; there is no record 2.
    EXPECT_EQ(p.encode(1).size(), 16u);
    EXPECT_EQ(p.encodedSize(2), 0u);
    EXPECT_TRUE(p.encode(-1).empty());

    // An empty String is its NUL alone; an empty Blob is a length of 0.
    EXPECT_EQ(OneString().encode(0).view().substr(12), std::string_view("\x01\0\0\0\0", 5));
    Probe empty;
    EXPECT_EQ(empty.encode(0).view().substr(empty.encodedSize(0) - 4),
              std::string_view("\0\0\0\0", 4));
}

// Decoding takes the peer's kind and body version but keeps the message's
// own version, and reports only the bytes it used.
TEST(MessageCodec, VersionAndLengthChecks) {
    HeaderOnly m;
    ByteData twelve = withHeader(1, 2, 0);
    EXPECT_EQ(m.decode(-1, twelve), -3);
    EXPECT_EQ(m.decode(1, twelve), -4);
    ByteData trailing = withHeader(7, 8, 3);
    trailing.append("trailing");
    EXPECT_EQ(m.decode(0, trailing), 12);
    EXPECT_EQ(std::tuple(m.kind(), m.subkind(), m.bodyVersion(), m.version()),
              std::tuple(7, 8, 3, 0));
}

TEST(MessageCodec, EveryTruncationIsShortInput) {
    Probe sent;
    sent.text = "hello";
    sent.blob = ByteData("0123456789");
    ByteData wire = sent.encode(0);
    for (size_t size = 0; size < wire.size(); ++size) {
        Probe got;
        ASSERT_EQ(got.decode(0, ByteData(wire.view().substr(0, size))), -2) << size;
    }
}

TEST(MessageCodec, HostileLengthsAreShortInputAndLongOnesAdvanceByTheirLength) {
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 1000u}) {
        SCOPED_TRACE(length);
        OneString s;
        ByteData wire = withHeader(0, 0, 0);
        wire.appendU32(length);
        wire.append("short");
        EXPECT_EQ(s.decode(0, wire), -2);
        EXPECT_EQ(s.text, "") << "a field that does not fit is left as it was";
    }
    // A String with L = 0 carries no bytes at all.
    OneString s;
    ByteData wire = withHeader(0, 0, 0);
    wire.appendU32(0);
    EXPECT_EQ(s.decode(0, wire), 16);
    EXPECT_EQ(s.text, "");

    // A String whose text ends before its length still takes its L bytes.
    Probe p;
    wire = withHeader(9, 4, 0);
    wire.appendU32(5);
    wire.appendU32(6);
    wire.appendU32(8);
    wire.append(std::string_view("ab\0\0zz\0\0", 8));
    wire.append(std::string(96, '\0')); // the session block
    wire.appendU32(1);
    wire.append("!");
    EXPECT_EQ(p.decode(0, wire), int(wire.size()));
    EXPECT_EQ(p.text, "ab");
    EXPECT_EQ(p.blob.view(), "!");
}

TEST(MessageKinds, EveryKindFollowsTheKindsTableAndRoundTrips) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        auto sent = k.make();
        EXPECT_EQ(std::tuple(sent->kind(), sent->subkind(), sent->version(), sent->recordCount()),
                  std::tuple(k.kind, k.subkind, 0, size_t(1)));
        EXPECT_EQ(signature(*sent), k.fields);
        fillDistinct(*sent);
        std::vector<std::string> sentValues = values(*sent);
        EXPECT_EQ(std::set(sentValues.begin(), sentValues.end()).size(),
                  k.fields.size() - k.sharedBlocks)
            << "two fields land in one member";
        ByteData wire = sent->encode(0);
        ASSERT_EQ(wire.size(), sent->encodedSize(0));
        auto received = k.make();
        EXPECT_EQ(received->decode(0, wire), int(wire.size()));
        EXPECT_EQ(values(*received), sentValues);
        EXPECT_EQ(received->encode(0).view(), wire.view());
    }
}

// The request's two blocks are one member (the kinds table's shared block).
TEST(MessageKinds, LoginBlocks) {
    LoginRequest login;
    login.sessionBlock() = SessionBlock(std::string(40, 'L'), "", "");
    EXPECT_EQ(login.encode(0).view().substr(12, 33), std::string(32, 'L') + '\0')
        << "a long shop ID is cut to 32 characters";

    // The response's tokens come from its second block.
    ByteData wire = MessageHeader{2, 0, 0}.encode();
    SessionBlock echo("SHOP", "", ""), fresh("SHOP", "TOKEN-ONE", "TOKEN-TWO");
    wire.append(echo.bytes().data(), 96);
    wire.appendU32(1);
    wire.append(fresh.bytes().data(), 96);
    wire.appendU32(8);
    wire.append(std::string_view("Welcome\0", 8));
    LoginResponse r;
    EXPECT_EQ(r.decode(0, wire), int(wire.size()));
    EXPECT_EQ(r.sessionBlock(), fresh);
    EXPECT_EQ(std::tie(r.returncode, r.message), std::tuple(1, "Welcome"));
}

// Same-typed fields are told apart only by name: two of the longest runs
// of Strings, at their positions after the header.
TEST(MessageKinds, NamedMembersSitAtTheirWirePositions) {
    auto picked = [](const Message& m, std::vector<size_t> positions) {
        std::string out;
        for (size_t i : positions)
            out += (out.empty() ? "" : " ") + values(m).at(i);
        return out;
    };
    ShopSetupRequest setup;
    std::tie(setup.city, setup.country, setup.email1, setup.phone1, setup.payPal, setup.currency,
             setup.paymentType) = std::tuple("city", "country", "e1", "p1", "paypal", 13, 16);
    EXPECT_EQ(picked(setup, {3, 4, 6, 8, 12, 14, 15}), "city country e1 p1 13 paypal 16");

    StatusAnswer status;
    std::tie(status.details.email, status.details.rootPath, status.shopId, status.details.showLast,
             status.writeTest) = std::tuple("email", "rootpath", "shopid", 16, 22);
    EXPECT_EQ(picked(status, {4, 12, 14, 15, 21}), "email rootpath shopid 16 22");
}
