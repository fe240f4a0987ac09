#include "netlib/XmlText.h"

#include "netlib/AnsiText.h"

namespace quillon {

namespace {

// What stands for the byte in XML, or null when it is taken as it is.
const char* escapeOf(unsigned char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    case '\r':
        return "&#13;";
    case '\n':
        return "&#10;";
    case '\t':
        return nullptr;
    default:
        return c < 0x20 ? "\xEF\xBF\xBD" : nullptr;
    }
}

} // namespace

void appendXmlText(std::string& out, std::string_view ansi) {
    size_t plain = 0; // where the run not yet appended starts
    for (size_t i = 0; i < ansi.size(); ++i) {
        const char* escape = escapeOf(static_cast<unsigned char>(ansi[i]));
        if (!escape)
            continue;
        out += ansiToUtf8(ansi.substr(plain, i - plain));
        out += escape;
        plain = i + 1;
    }
    out += ansiToUtf8(ansi.substr(plain));
}

} // namespace quillon
