#include "orders/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillon {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole-text integer in [min, max]; from_chars takes no "+".
std::optional<int64_t> wholeNumber(std::string_view text, int64_t min, int64_t max) {
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    auto value =
        wholeNumber(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return value ? std::optional<int32_t>(int32_t(*value)) : std::nullopt;
}

std::optional<uint32_t> parseUnsigned(std::string_view text) {
    if (trimmed(text).starts_with('-'))
        return std::nullopt;
    auto value = wholeNumber(text, 0, std::numeric_limits<uint32_t>::max());
    return value ? std::optional<uint32_t>(uint32_t(*value)) : std::nullopt;
}

std::optional<double> parseDecimal(std::string_view text) {
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

int32_t leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulated as a negative number, which reaches the minimum exactly.
    constexpr int64_t lowest = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::max(lowest - 1, value * 10 - (text[i] - '0'));
    if (negative)
        return int32_t(std::max(value, lowest));
    return int32_t(std::min(-value, int64_t(std::numeric_limits<int32_t>::max())));
}

float leadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A second sign is no number, as for the C library.
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return 0.0f;
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: infinity or zero, by the exponent's sign.
        std::string_view number(text.data(), std::size_t(end - text.data()));
        std::size_t e = number.find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc()) {
        return 0.0f;
    }
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        value = std::numeric_limits<double>::infinity();
    return float(negative ? -value : value);
}

std::string formatInteger(int32_t value) {
    return std::to_string(value);
}

std::string formatDecimal(float value) {
    char digits[64];
    auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2);
    return error == std::errc() ? std::string(digits, end) : std::string();
}

} // namespace quillon
