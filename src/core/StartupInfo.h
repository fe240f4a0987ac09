#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// An FTP account that serves the start-up information.
struct FtpAccount {
    std::string host; // "host" or "host:port"
    std::string account;
    std::string password;
};

inline constexpr const char* kStartupInfoFile = "initinfo.txt";
inline constexpr int kStartupConnectTimeoutSeconds = 10;

// Reads one or two accounts "host[:port],account,password" separated by
// ";" (the password is the rest of its entry and may hold commas). False and
// no accounts when anything is malformed.
bool parseFtpAccounts(std::string_view text, std::vector<FtpAccount>& accounts);

// The accounts to ask, in order: from the environment variable
// QUILLON_STARTUP_FTP when it is set (empty or malformed: none, so the check
// is skipped), else the two accounts built into the program.
std::vector<FtpAccount> startupAccounts();

// Reads "initinfo.txt" from the first account that accepts the login and
// sets `defaultHost` to its text up to the last ";". Returns 1 then; 0 when
// no account accepts, the file cannot be read or names no host, leaving
// `defaultHost` as it was. Silent: it reports nothing anywhere.
int checkForUpdate(const std::vector<FtpAccount>& accounts, std::string& defaultHost);

} // namespace quillon
