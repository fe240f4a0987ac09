#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Appends an 8-bit text (see AnsiText.h) as UTF-8 XML character data, also
// fit for an attribute value in quotes: markup characters are escaped, line
// breaks become character references so a value never splits a line, and
// the other control characters, which XML cannot carry, become U+FFFD.
void appendXmlText(std::string& out, std::string_view ansi);

} // namespace quillon
