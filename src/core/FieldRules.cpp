#include "core/FieldRules.h"

#include "orders/QtText.h"

#include <charconv>
#include <cmath>

namespace quillon {

namespace {

template <class T> std::optional<T> parseWhole(const QString& text) {
    QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.startsWith('+') && !bytes.startsWith("+-"))
        bytes.remove(0, 1);
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    T value{};
    auto [end, error] = std::from_chars(first, last, value);
    if (bytes.isEmpty() || error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int64_t> parseIntegerField(const QString& text) {
    return parseWhole<int64_t>(text);
}

std::optional<double> parseNumberField(const QString& text) {
    auto value = parseWhole<double>(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
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
    auto number = parseIntegerField(code);
    if (!number || *number < 0 || *number > kLargestProductCode) {
        check.prompt = number ? integerRangePrompt(0, kLargestProductCode) : kEnterIntegerText;
        return check;
    }
    auto amount = parseNumberField(price);
    // Compared as the float that is kept.
    if (!amount || float(*amount) < 0.0f || float(*amount) > kLargestProductPrice) {
        check.field = ProductField::Price;
        check.prompt = amount ? numberRangePrompt(0, kLargestProductPrice) : kEnterNumberText;
        return check;
    }
    check.item = ProductItem{int32_t(*number), float(*amount),
                             fromQString(description.left(kProductDescriptionLimit))};
    return check;
}

bool passwordsMatch(const QString& password, const QString& repeated) {
    return password == repeated;
}

} // namespace quillon
