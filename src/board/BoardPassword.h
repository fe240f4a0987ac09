#pragma once

#include <string>
#include <string_view>

namespace quillon {

// The board password as the profile keeps it: never the password, but
// "pbkdf2-sha256$<iterations>$<salt>$<hash>" (salt and hash in hex), with a
// random salt of its own.
std::string hashBoardPassword(std::string_view password);
// True when `password` is the one `stored` was made from; false for a
// stored text that is not such a hash.
bool boardPasswordMatches(std::string_view password, std::string_view stored);

// Random bytes from the system's secure source, as hex.
std::string randomHex(int bytes);

} // namespace quillon
