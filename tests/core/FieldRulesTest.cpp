// The rules behind the dialogs' fields, without widgets.
#include "core/FieldRules.h"
#include "core/HistoryFields.h"
#include "core/ShopFields.h"
#include "orders/OrderNumbering.h"
#include "orders/QtText.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(FieldRules, ProductFieldsTakeTheirRangesAndRefuseTheRest) {
    auto ok = checkProductFields(" 999999 ", "1000000", "");
    ASSERT_TRUE(ok.item);
    EXPECT_EQ(std::tie(ok.item->code, ok.item->price, ok.item->description),
              std::tuple(999999, 1000000.0f, ""));

    auto small = checkProductFields("0", "0.29", QString(1100, QChar(u'x')));
    ASSERT_TRUE(small.item);
    EXPECT_EQ(std::tuple(small.item->price, small.item->description.size()),
              std::tuple(0.29f, 1024u));

    const char *codeRange = "Please enter an integer between 0 and 999999.",
               *priceRange = "Please enter a number between 0 and 1000000.",
               *integer = "Please enter an integer.", *number = "Please enter a number.";
    struct Refused {
        const char* code;
        const char* price;
        ProductField field;
        const char* prompt;
    };
    const Refused refused[] = {
        {"-1", "1", ProductField::Code, codeRange},
        {"12abc", "1", ProductField::Code, integer},
        {"5", "1000001", ProductField::Price, priceRange},
        {"5", "1,50", ProductField::Price, number},
    };
    for (const Refused& r : refused) {
        auto check = checkProductFields(r.code, r.price, "x");
        EXPECT_FALSE(check.item) << r.code << " " << r.price;
        EXPECT_EQ(std::tie(check.field, check.prompt), std::tuple(r.field, r.prompt))
            << r.code << " " << r.price;
    }
}

TEST(FieldRules, NumbersReadBackAsTheSameFloat) {
    for (float v : {0.29f, 14.95f, 1234.57f, 0.1f, 1000000.0f}) {
        auto back = parseNumberField(editableNumber(v));
        ASSERT_TRUE(back) << editableNumber(v).toStdString();
        EXPECT_EQ(*back, v);
    }
    EXPECT_EQ(editableNumber(0.29f), "0.29");
}

TEST(ShopFields, ChecksTaxAndLogo) {
    // The checks run in a fixed order and name only the first gap.
    ShopInfo info;
    info.phone1 = "1";
    EXPECT_EQ(missingShopField(info)->message, "Email 1 is required.");
    info.email1 = "a@b";
    info.primaryContact = "Ann";
    EXPECT_EQ(std::tuple(missingShopField(info)->message, missingShopField(info)->field),
              std::tuple("URL is required.", &ShopInfo::url));
    info.url = "u";
    EXPECT_FALSE(missingShopField(info));

    // The percent's float bits travel unchanged; it must lie from 0 to 100.
    EXPECT_EQ(salesTaxPercent(salesTaxBits(19.6f)), 19.6f);
    EXPECT_EQ(std::tuple(parseSalesTax("100"), parseSalesTax(" 0 ")), std::tuple(100.0f, 0.0f));
    for (const char* refused : {"1e39", "100.5", "-1", "nan", "inf", "21,5", ""})
        EXPECT_FALSE(parseSalesTax(refused)) << refused;

    EXPECT_FALSE(logoFits(QImage(150, 51, QImage::Format_RGB32)) || logoFits(QImage()));

    QImage logo(120, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ByteData jpeg = encodeLogo(logo);
    EXPECT_EQ(jpeg.view().substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(decodeLogo(jpeg).size(), logo.size());
    EXPECT_TRUE(encodeLogo(QImage()).empty() &&
                decodeLogo(ByteData(std::string_view("not an image"))).isNull());
}

// What is typed into an 8-bit field is kept exactly or refused, and the
// refusal names the field and points at the character.
TEST(FieldRules, TypedTextIsKeptOrRefusedWithTheFieldNamed) {
    const QString western = QString::fromUtf8("Zamówienia € … œ Ÿ ß");
    EXPECT_EQ(fromQString(western), "Zam\xF3wienia \x80 \x85 \x9C \x9F \xDF");
    EXPECT_FALSE(foreignTextField({{"Prefix:", western}, {"* Email 1", ""}}));

    struct Refused {
        const char* text;
        bool masked;
        qsizetype position;
        qsizetype length;
        const char* message;
    };
    for (const Refused& r : {
             Refused{"/home/łukasz/Zamówienia", false, 6, 1,
                     "The character U+0142 cannot be used. Please use only Western European "
                     "characters."},
             Refused{"Заказ", false, 0, 1, "The character U+0417 cannot be used."},
             Refused{"ok 😀", false, 3, 2, "The character U+1F600 cannot be used."},
             Refused{"пароль12", true, 0, 1, "A character in it cannot be used."},
         }) {
        const auto refusal = foreignTextField(
            {{"Shop ID:", "3F9A"}, {"* Email 1", QString::fromUtf8(r.text), r.masked}});
        ASSERT_TRUE(refusal) << r.text;
        EXPECT_EQ(refusal->field, 1u) << r.text;
        EXPECT_TRUE(refusal->message.startsWith(QString("Email 1: ") + r.message))
            << refusal->message.toStdString();
        EXPECT_EQ(std::pair(refusal->position, refusal->length), std::pair(r.position, r.length))
            << r.text;
    }
    // A lone surrogate cannot be stored either.
    EXPECT_EQ(foreignTextField({{"Body", QString(QChar(0xD800))}})->position, 0);
}

TEST(FieldRules, NumberingThatCannotWorkIsRefused) {
    ConfigurationValues fine;
    std::tie(fine.rootordernumber, fine.wraparound, fine.numdigit, fine.prefix, fine.postfix) =
        std::tuple(999, 999, kMostNumberDigits, "WEB-", "\xE9t\xE9"); // "été"
    EXPECT_FALSE(numberingRefusal(fine));
    // A wrap-around of 0 bounds nothing.
    std::tie(fine.rootordernumber, fine.wraparound, fine.numdigit) = std::tuple(5000, 0, 0);
    EXPECT_FALSE(numberingRefusal(fine));

    struct Refused {
        uint32_t startsFrom, wrapAround;
        int32_t digits;
        std::string prefix, postfix;
        NumberingField field;
        const char* message;
    };
    std::vector<Refused> cases = {
        {1000, 999, 6, "", "", NumberingField::StartsFrom, "Starts from: "},
        {1, 999, 33, "", "", NumberingField::Digits,
         "Number of digits: Please enter an integer between 0 and 32."},
        {1, 999, -1, "", "", NumberingField::Digits, "Number of digits: "},
        {1, 999, 6, "", "A\t", NumberingField::Postfix,
         "Postfix: The character U+0009 cannot be used in an order number."},
    };
    for (char c : std::string("/\\:*?\"<>|"))
        cases.push_back({1, 999, 6, std::string("A") + c, "", NumberingField::Prefix,
                         "Prefix: The character \""});
    for (const Refused& r : cases) {
        ConfigurationValues v;
        std::tie(v.rootordernumber, v.wraparound, v.numdigit, v.prefix, v.postfix) =
            std::tie(r.startsFrom, r.wrapAround, r.digits, r.prefix, r.postfix);
        const auto refusal = numberingRefusal(v);
        ASSERT_TRUE(refusal) << r.prefix << r.postfix << r.digits;
        EXPECT_EQ(refusal->field, std::size_t(r.field)) << r.prefix << r.postfix;
        EXPECT_TRUE(refusal->message.startsWith(r.message)) << refusal->message.toStdString();
        if (r.field == NumberingField::Prefix) // the character is selected
            EXPECT_TRUE(refusal->position == 1 && refusal->length == 1) << r.prefix;
    }
}

// The history dialog's test walks a leap day and the export of odd texts;
// here the rules behind its choosers.
TEST(HistoryFields, RulesBeyondTheDialogsChoices) {
    EXPECT_EQ(std::tuple(historyDate(2031, 12, 31), daysInMonth(2100, 2), daysInMonth(2000, 2)),
              std::tuple(311231, 28, 29));
    EXPECT_EQ(std::tuple(lastHistoryYear(2015), lastHistoryYear(2031), parseYearText("2,013")),
              std::tuple(2020, 2031, std::optional(2013)));
    for (const char* text : {"20x2", "-2012", ""})
        EXPECT_EQ(parseYearText(text), std::nullopt) << text;
    for (auto [status, text] :
         {std::pair{0, "Created"}, {1, "Sandbox"}, {5, "Live"}, {6, ""}, {-1, ""}})
        EXPECT_EQ(historyStatusText(status), text) << status;
    HistoryRecord odd{"7", "Smith; \"Jo\"", 0.125f, 0, 91231, 2359, 0, ""};
    EXPECT_EQ(historyExportLine(odd), "7;0.12;\"Smith; \"\"Jo\"\"\";2009-12-31 23:59;Created;");
}
