#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Numbers typed into the shop's dialogs.
//
// A settings field takes a number only when the whole text is one (spaces
// around it allowed); anything else is refused, so a slip of the finger
// never becomes a setting.
std::optional<int32_t> parseInteger(std::string_view text);
// As parseInteger, without a sign: 0 to 4294967295.
std::optional<uint32_t> parseUnsigned(std::string_view text);
// A finite decimal number as a whole text, with "." whatever the locale.
std::optional<double> parseDecimal(std::string_view text);

// A plug-in parameter cell reads its number the way the C library's
// conversions do: leading white space, then the longest number at the
// start; 0 when there is none ("12abc" gives 12, "abc" 0). Integers out of
// range stop at the nearest limit. Decimals always use ".", whatever the
// user's locale, so a plug-in gets the same value on every machine.
int32_t leadingInteger(std::string_view text);
float leadingDecimal(std::string_view text);

// "%d" and "%1.2f", without regard to the user's locale.
std::string formatInteger(int32_t value);
std::string formatDecimal(float value);

} // namespace quillon
