#include "protocol/ChangePasswordMessages.h"
#include "protocol/ChatMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/OrderCheckMessages.h"
#include "protocol/OrderNumberMessages.h"
#include "protocol/PaymentStatusMessages.h"
#include "protocol/ProductListWire.h"
#include "protocol/ProductUpdateMessages.h"
#include "protocol/ShopInfoMessages.h"
#include "protocol/ShopSetupMessages.h"
#include "protocol/StatusMessages.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace quillon;

namespace {

constexpr size_t kHeaderFields = 3;

// One letter per field after the header: I Int32, U UInt32, S String,
// B SessionBlock, X Blob.
std::string signature(const Message& m) {
    std::string sig;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields))
        sig += "IUSBX"[size_t(fieldType(f))];
    return sig;
}

// The values after the header, as text, in wire order.
std::vector<std::string> values(const Message& m) {
    std::vector<std::string> out;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields)) {
        switch (fieldType(f)) {
        case FieldType::Int32:
            out.push_back(std::to_string(*std::get<int32_t*>(f)));
            break;
        case FieldType::UInt32:
            out.push_back("u" + std::to_string(*std::get<uint32_t*>(f)));
            break;
        case FieldType::String:
            out.push_back(*std::get<std::string*>(f));
            break;
        case FieldType::SessionBlock:
            out.push_back("block:" + std::get<SessionBlock*>(f)->shopid());
            break;
        case FieldType::Blob:
            out.push_back("blob:" + std::get<ByteData*>(f)->toString());
            break;
        }
    }
    return out;
}

// Gives field i a value no other field has.
void fillDistinct(Message& m) {
    size_t i = 0;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields)) {
        std::string tag = "v" + std::to_string(++i);
        std::visit(
            [&](auto* p) {
                using T = std::remove_pointer_t<decltype(p)>;
                if constexpr (std::is_same_v<T, int32_t>)
                    *p = -int32_t(1000 + i);
                else if constexpr (std::is_same_v<T, uint32_t>)
                    *p = 0x80000000u + uint32_t(i);
                else if constexpr (std::is_same_v<T, std::string>)
                    *p = tag + std::string(i, '*');
                else if constexpr (std::is_same_v<T, SessionBlock>)
                    *p = SessionBlock("shop" + tag, "tok1" + tag, "tok2" + tag);
                else
                    *p = ByteData(std::string(1, '\0') + "bin" + tag);
            },
            f);
    }
}

size_t distinctMembers(const Message& m) {
    std::set<const void*> seen;
    for (const FieldRef& f : m.record(0).subspan(kHeaderFields))
        std::visit([&](auto* p) { seen.insert(p); }, f);
    return seen.size();
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

TEST(MessageKinds, HeadersAndFieldTypesFollowTheKindsTable) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        auto m = k.make();
        EXPECT_EQ(m->kind(), k.kind);
        EXPECT_EQ(m->subkind(), k.subkind);
        EXPECT_EQ(m->version(), 0);
        EXPECT_EQ(m->recordCount(), 1u);
        EXPECT_EQ(signature(*m), k.fields);
        EXPECT_EQ(distinctMembers(*m), k.fields.size() - k.sharedBlocks)
            << "two fields land in one member";
    }
}

TEST(MessageKinds, EveryKindRoundTripsWithDistinctValues) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        auto sent = k.make();
        fillDistinct(*sent);
        ByteData wire = sent->encode(0);
        ASSERT_EQ(wire.size(), sent->encodedSize(0));
        auto received = k.make();
        EXPECT_EQ(received->decode(0, wire), int(wire.size()));
        EXPECT_EQ(values(*received), values(*sent));
        EXPECT_EQ(received->encode(0).view(), wire.view());
    }
}

TEST(MessageKinds, LoginCarriesTheSameBlockTwice) {
    LoginRequest login;
    login.sessionBlock() = SessionBlock(std::string(40, 'L'), "", "");
    login.password = "pw";
    ByteData wire = login.encode(0);
    ASSERT_EQ(wire.size(), 12u + 96 + 96 + 7);
    EXPECT_EQ(wire.view().substr(12, 96), wire.view().substr(108, 96));
    EXPECT_EQ(wire.view().substr(12, 33), std::string(32, 'L') + '\0')
        << "a long shop ID is cut to 32 characters";
}

TEST(MessageKinds, LoginResponseTokensComeFromItsSecondBlock) {
    ByteData wire = MessageHeader{2, 0, 0}.encode();
    SessionBlock echo("SHOP", "", ""), fresh("SHOP", "TOKEN-ONE", "TOKEN-TWO");
    wire.append(echo.bytes().data(), 96);
    wire.appendU32(1);
    wire.append(fresh.bytes().data(), 96);
    wire.appendU32(8);
    wire.append(std::string_view("Welcome\0", 8));
    LoginResponse r;
    EXPECT_EQ(r.decode(0, wire), int(wire.size()));
    EXPECT_EQ(r.returncode, 1);
    EXPECT_EQ(r.sessionBlock().token1(), "TOKEN-ONE");
    EXPECT_EQ(r.sessionBlock().token2(), "TOKEN-TWO");
    EXPECT_EQ(r.message, "Welcome");
}

TEST(MessageKinds, NamedMembersSitAtTheirWirePositions) {
    ShopSetupRequest setup;
    setup.shopName = "name";
    setup.password = "pw";
    setup.streetAddress = "street";
    setup.city = "city";
    setup.country = "country";
    setup.zipCode = "zip";
    setup.email1 = "e1";
    setup.email2 = "e2";
    setup.phone1 = "p1";
    setup.phone2 = "p2";
    setup.primaryContact = "contact";
    setup.url = "url";
    setup.currency = 13;
    setup.orderRestriction = 14;
    setup.payPal = "paypal";
    setup.paymentType = 16;
    setup.salesTax = 17;
    setup.logo = ByteData("jpeg");
    EXPECT_EQ(values(setup),
              (std::vector<std::string>{"name", "pw", "street", "city", "country", "zip", "e1",
                                        "e2", "p1", "p2", "contact", "url", "13", "14", "paypal",
                                        "16", "u17", "blob:jpeg"}));

    auto fillInfo = [](ShopInfo& i) {
        i.country = "country";
        i.city = "city";
        i.streetAddress = "street";
        i.zipCode = "zip";
        i.phone1 = "p1";
        i.phone2 = "p2";
        i.email1 = "e1";
        i.email2 = "e2";
        i.primaryContact = "contact";
        i.url = "url";
        i.shopStatus = 11;
        i.currency = 12;
        i.orderRestriction = 13;
        i.salesTax = 14;
        i.payPal = "paypal";
        i.paymentType = 16;
        i.hasLogo = 17;
        i.logo = ByteData("jpeg");
    };
    std::vector<std::string> info = {"country", "city", "street",  "zip", "p1", "p2",
                                     "e1",      "e2",   "contact", "url", "11", "12",
                                     "13",      "u14",  "paypal",  "16",  "17", "blob:jpeg"};
    ShopInfoUpdateRequest update;
    update.sessionBlock().setShopId("S");
    fillInfo(update.info);
    std::vector<std::string> expected = {"block:S"};
    expected.insert(expected.end(), info.begin(), info.end());
    EXPECT_EQ(values(update), expected);

    ShopInfoFetchResponse fetched;
    fetched.sessionBlock().setShopId("S");
    fetched.returncode = -1;
    fillInfo(fetched.info);
    expected.insert(expected.begin() + 1, "-1");
    EXPECT_EQ(values(fetched), expected);
}

TEST(MessageKinds, OrderMessagesNameTheirTexts) {
    NewOrderRequest request;
    request.shopNumber = 42;
    request.reference1 = "r1";
    request.reference2 = "r2";
    request.customerEmail = "c@x";
    EXPECT_EQ(values(request),
              (std::vector<std::string>{"0", "42", "r1", "r2", "c@x", "u0", "u0"}));

    NewOrderAnswer answer;
    answer.result = 1;
    answer.folder = "/orders/0001";
    answer.orderNumber = "0001";
    answer.shippingFlag1 = 4;
    answer.shippingFlag2 = 5;
    answer.trustedCustomer = 1;
    EXPECT_EQ(values(answer),
              (std::vector<std::string>{"1", "/orders/0001", "0001", "u4", "u5", "1"}));

    OrderNumberReport report;
    report.reference1 = "r1";
    report.reference2 = "r2";
    report.orderNumber = "N-7";
    EXPECT_EQ(values(report), (std::vector<std::string>{"r1", "r2", "0", "N-7"}));

    PaymentStatusAnswer paid;
    paid.result = 1;
    paid.paymentCode = 2;
    paid.paymentText1 = "A";
    paid.paymentText2 = "B";
    EXPECT_EQ(values(paid), (std::vector<std::string>{"1", "2", "A", "B"}));
}

TEST(MessageKinds, SettingsTravelInTheirOrder) {
    auto fill = [](SessionDetails& d) {
        d.attach = 2;
        d.body = "body";
        d.currentNumber = 4;
        d.email = "email";
        d.fontSize = 6;
        d.notification = 7;
        d.numDigit = 8;
        d.postfix = "postfix";
        d.prefix = "prefix";
        d.purge = 11;
        d.rootOrderNumber = 12;
        d.rootPath = "rootpath";
        d.sender = "sender";
        d.showLast = 16;
        d.smtp = "smtp";
        d.status = 18;
        d.subject = "subject";
        d.wrapAround = 20;
        d.offline = 21;
    };
    StatusAnswer status;
    status.result = 1;
    fill(status.details);
    status.shopId = "shopid";
    status.writeTest = 22;
    EXPECT_EQ(values(status),
              (std::vector<std::string>{"1",        "2",      "body",    "4",      "email", "6",
                                        "7",        "8",      "postfix", "prefix", "11",    "12",
                                        "rootpath", "sender", "shopid",  "16",     "smtp",  "18",
                                        "subject",  "20",     "21",      "22"}));

    ChatOpenRequest open;
    open.shopId = "shopid";
    open.password = "secret";
    fill(open.details);
    EXPECT_EQ(values(open),
              (std::vector<std::string>{
                  "shopid", "secret", "2",       "body",   "4",       "email", "6",
                  "7",      "8",      "postfix", "prefix", "11",      "12",    "rootpath",
                  "sender", "16",     "smtp",    "18",     "subject", "20",    "21"}));
}

TEST(MessageKinds, ProductUpdateCarriesCountAndEncodedList) {
    ProductUpdateRequest empty;
    empty.setProducts({});
    ByteData wire = empty.encode(0);
    ASSERT_EQ(wire.size(), 12u + 96 + 4 + 4);
    EXPECT_EQ(wire.u32At(108), 0u);
    EXPECT_EQ(wire.u32At(112), 0u);

    ProductUpdateRequest two;
    two.setProducts({{7, 1.5f, "Print"}, {9, 0.25f, ""}});
    EXPECT_EQ(two.entryCount, 2);
    EXPECT_EQ(two.products.size(), (5u + 13) + 13);
    EXPECT_EQ(two.products.view(), encodeProductList({{7, 1.5f, "Print"}, {9, 0.25f, ""}}).view());
}
