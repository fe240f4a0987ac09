#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// Header texts for outgoing mail. The inputs are UTF-8 texts that may come
// from customers: nothing they contain can end a header line or start
// another one.

// The longest header text taken from a caller, in bytes; the rest is cut
// before the character that would cross it.
constexpr size_t kMaxHeaderTextSize = 512;

// An unstructured header value (Subject): control characters, CR and LF
// among them, become spaces; a text outside printable ASCII becomes RFC 2047
// encoded words (UTF-8, Q encoding) folded onto continuation lines; a
// character is never split between two words.
std::string encodedHeaderText(std::string_view text);

// True for an address usable in the envelope and in a header: printable
// ASCII without spaces or the characters that delimit addresses, and a
// local part and a domain around one "@".
bool isPlainAddress(std::string_view address);

// "address", or "display name <address>" with the name quoted or encoded as
// needed. The address must be plain.
std::string mailbox(std::string_view displayName, std::string_view address);

// RFC 5322 date-time of `secondsSince1970` in UTC, e.g.
// "Thu, 01 Jan 1970 00:00:00 +0000". Independent of the process locale.
std::string mailDate(int64_t secondsSince1970);

} // namespace quillon
