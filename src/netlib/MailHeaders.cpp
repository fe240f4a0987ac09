#include "netlib/MailHeaders.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace quillon {

namespace {

constexpr std::string_view kWordStart = "=?UTF-8?Q?";
constexpr std::string_view kWordEnd = "?=";
// Shorter than the 75 characters RFC 2047 allows, so that a header name
// still fits on the first line within 76.
constexpr size_t kMaxWordSize = 64;

bool isAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cut to the header size limit, with control characters as spaces.
std::string singleLine(std::string_view text) {
    size_t size = std::min(text.size(), kMaxHeaderTextSize);
    while (size < text.size() && size > 0 && isContinuationByte(text[size]))
        --size;
    std::string line(text.substr(0, size));
    for (char& c : line) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = ' ';
    }
    return line;
}

// Outside printable ASCII, or text a reader would take for an encoded word.
bool needsEncoding(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x7F)
            return true;
    return text.find("=?") != std::string_view::npos;
}

// Q-encoded words using only the characters allowed in every header
// context, each word on its own (folded) line.
std::string encodedWords(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    std::string word;
    auto flush = [&] {
        if (!out.empty())
            out += "\r\n ";
        out.append(kWordStart).append(word).append(kWordEnd);
        word.clear();
    };
    for (size_t at = 0; at < text.size();) {
        // The bytes of one character go into the same word.
        size_t end = at + 1;
        while (end < text.size() && isContinuationByte(text[end]))
            ++end;
        std::string piece;
        for (; at < end; ++at) {
            const auto c = static_cast<unsigned char>(text[at]);
            if (isAsciiAlnum(c) || std::strchr("!*+-/", c))
                piece += char(c);
            else if (c == ' ')
                piece += '_';
            else
                piece += {'=', hex[c >> 4], hex[c & 15]};
        }
        if (kWordStart.size() + word.size() + piece.size() + kWordEnd.size() > kMaxWordSize)
            flush();
        word += piece;
    }
    if (!word.empty() || out.empty())
        flush();
    return out;
}

bool needsQuoting(std::string_view name) {
    for (char c : name)
        if (std::strchr("()<>[]:;@\\,.\"", c))
            return true;
    return false;
}

std::string quoted(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string encodedHeaderText(std::string_view text) {
    std::string line = singleLine(text);
    return needsEncoding(line) ? encodedWords(line) : line;
}

bool isPlainAddress(std::string_view address) {
    if (address.empty() || address.size() > 254)
        return false;
    for (unsigned char c : address)
        if (c <= 0x20 || c >= 0x7F || std::strchr("<>()[],;:\\\"", c))
            return false;
    size_t at = address.find('@');
    return at != std::string_view::npos && at > 0 && at + 1 < address.size() &&
           address.find('@', at + 1) == std::string_view::npos;
}

std::string mailbox(std::string_view displayName, std::string_view address) {
    std::string name = singleLine(displayName);
    if (name.find_first_not_of(' ') == std::string::npos)
        return std::string(address);
    std::string phrase;
    if (needsEncoding(name))
        phrase = encodedWords(name);
    else if (needsQuoting(name))
        phrase = quoted(name);
    else
        phrase = name;
    return phrase + " <" + std::string(address) + ">";
}

std::string mailDate(int64_t secondsSince1970) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t t = std::time_t(secondsSince1970);
    std::tm tm{};
    if (!gmtime_r(&t, &tm))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[tm.tm_wday % 7],
                  tm.tm_mday, months[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                  tm.tm_sec);
    return text;
}

} // namespace quillon
