#include "protocol/Message.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace

TEST(MessageCodec, EncodesEveryTypeInOrder) {
    Probe p;
    p.number = -2;
    p.flags = 0x80000001;
    p.text = "abc";
    p.sessionBlock() = SessionBlock("shop", "t1", "t2");
    p.blob = ByteData("xyz");
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
    for (size_t size : {0, 3, 4, 7, 8, 11})
        EXPECT_EQ(m.decode(0, ByteData(twelve.view().substr(0, size))), -2) << size;
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
