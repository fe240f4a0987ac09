#include "core/FieldRules.h"

#include "orders/NumberText.h"
#include "orders/OrderNumbering.h"
#include "orders/QtText.h"

#include <charconv>

namespace quillon {

std::optional<float> parseNumberField(const QString& text) {
    auto value = parseDecimal(text.toStdString());
    return value ? std::optional<float>(float(*value)) : std::nullopt;
}

QString integerRangePrompt(int64_t low, int64_t high) {
    return QString("Please enter an integer between %1 and %2.").arg(low).arg(high);
}

QString numberRangePrompt(double low, double high) {
    return QString("Please enter a number between %1 and %2.")
        .arg(low, 0, 'f', 0)
        .arg(high, 0, 'f', 0);
}

QString editableNumber(float value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, error == std::errc() ? end - buffer : 0);
}

ProductFieldsCheck checkProductFields(const QString& code, const QString& price,
                                      const QString& description) {
    ProductFieldsCheck check;
    auto number = parseInteger(code.toStdString());
    if (!number || *number < 0 || *number > kLargestProductCode) {
        check.prompt = number ? integerRangePrompt(0, kLargestProductCode) : kEnterIntegerText;
        return check;
    }
    // Compared as the float that is kept.
    auto amount = parseNumberField(price);
    if (!amount || *amount < 0.0f || *amount > kLargestProductPrice) {
        check.field = ProductField::Price;
        check.prompt = amount ? numberRangePrompt(0, kLargestProductPrice) : kEnterNumberText;
        return check;
    }
    check.item =
        ProductItem{*number, *amount, fromQString(description.left(kProductDescriptionLimit))};
    return check;
}

bool passwordsMatch(const QString& password, const QString& repeated) {
    return password == repeated;
}

namespace {

QString codeOf(char32_t c) {
    return QString("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
}

// A character of an order number's prefix or postfix that a folder name
// cannot hold.
bool unfitForFolderName(QChar c) {
    return c.category() == QChar::Other_Control || QStringView(u"/\\:*?\"<>|").contains(c);
}

} // namespace

QString fieldMessage(QString label, const QString& text) {
    if (label.startsWith("* "))
        label.remove(0, 2);
    if (label.endsWith(':'))
        label.chop(1);
    return label + ": " + text;
}

std::optional<FieldRefusal> foreignTextField(const std::vector<TypedField>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto foreign = foreignCharacter(fields[i].text);
        if (!foreign)
            continue;
        const QString which = fields[i].masked ? QString("A character in it")
                                               : "The character " + codeOf(foreign->code);
        return FieldRefusal{
            i,
            fieldMessage(fields[i].label,
                         which + " cannot be used. Please use only Western European characters."),
            foreign->position, foreign->length};
    }
    return std::nullopt;
}

std::optional<FieldRefusal> numberingRefusal(const ConfigurationValues& values) {
    if (values.wraparound != 0 && values.rootordernumber > values.wraparound)
        return FieldRefusal{
            std::size_t(NumberingField::StartsFrom),
            fieldMessage("Starts from",
                         QString("Please enter a number no greater than %1, where numbering "
                                 "wraps around.")
                             .arg(values.wraparound))};
    if (values.numdigit < 0 || values.numdigit > kMostNumberDigits)
        return FieldRefusal{
            std::size_t(NumberingField::Digits),
            fieldMessage("Number of digits", integerRangePrompt(0, kMostNumberDigits))};
    const std::pair<NumberingField, const std::string*> texts[] = {
        {NumberingField::Prefix, &values.prefix}, {NumberingField::Postfix, &values.postfix}};
    for (const auto& [field, bytes] : texts) {
        const QString text = toQString(*bytes);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!unfitForFolderName(text[i]))
                continue;
            const QString shown =
                text[i].isPrint() ? QString("\"%1\"").arg(text[i]) : codeOf(text[i].unicode());
            return FieldRefusal{
                std::size_t(field),
                fieldMessage(field == NumberingField::Prefix ? "Prefix" : "Postfix",
                             "The character " + shown +
                                 " cannot be used in an order number. Please remove it."),
                i, 1};
        }
    }
    return std::nullopt;
}

} // namespace quillon
