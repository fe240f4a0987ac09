#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The shop's one text rule. Texts on the wire, in the order database and in
// the trusted customers file stay 8-bit, as peers and stored files expect,
// and are read as Windows-1252 (the Western ANSI code page: Latin-1 plus
// the euro sign and the typographic characters in 0x80-0x9F). These are the
// only conversions between those bytes and Unicode, and ansiPath is the
// only way a file-system path is made from them, so the same name is never
// spelled two ways.

// The 8-bit text as UTF-8. Every byte has its character: the five bytes
// Windows-1252 leaves unassigned become the control characters of the same
// number, so the conversion can be undone exactly.
std::string ansiToUtf8(std::string_view ansi);

// UTF-8 as an 8-bit text. A character Windows-1252 cannot hold, and each
// byte that is not part of valid UTF-8, becomes '?'. What a person types is
// checked with ansiByte first and refused rather than altered.
std::string utf8ToAnsi(std::string_view utf8);

// The 8-bit text's byte for a character; none when Windows-1252 cannot
// hold it.
std::optional<char> ansiByte(char32_t c);

// The file-system path an 8-bit text names: its characters in the
// platform's Unicode file names (UTF-8 on Linux).
std::filesystem::path ansiPath(std::string_view ansi);

} // namespace quillon
