#include "core/StartupInfo.h"

#include "netlib/FtpClient.h"

#include <charconv>
#include <cstdlib>

namespace quillon {

namespace {

// The start-up information is a host name and a little more.
constexpr size_t kMaxStartupInfoSize = 64 * 1024;

bool hasControlOrSpace(std::string_view text) {
    for (unsigned char c : text)
        if (c <= ' ' || c == 0x7F)
            return true;
    return false;
}

bool validPort(std::string_view text) {
    int port = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    return ec == std::errc() && end == text.data() + text.size() && port > 0 && port <= 65535;
}

// "name", "name:port", "[v6]" or "[v6]:port".
bool validHost(std::string_view host) {
    if (host.empty() || hasControlOrSpace(host) || host.find_first_of(",;/@") != host.npos)
        return false;
    size_t portAt = host.npos;
    if (host.front() == '[') {
        size_t close = host.find(']');
        if (close == host.npos || close == 1)
            return false;
        if (close + 1 < host.size()) {
            if (host[close + 1] != ':')
                return false;
            portAt = close + 1;
        }
    } else {
        portAt = host.find(':');
        if (portAt == 0)
            return false;
    }
    return portAt == host.npos || validPort(host.substr(portAt + 1));
}

bool parseAccount(std::string_view entry, FtpAccount& account) {
    size_t first = entry.find(',');
    size_t second = first == entry.npos ? entry.npos : entry.find(',', first + 1);
    if (second == entry.npos)
        return false;
    std::string_view host = entry.substr(0, first);
    std::string_view name = entry.substr(first + 1, second - first - 1);
    std::string_view password = entry.substr(second + 1);
    if (!validHost(host) || name.empty() || hasControlOrSpace(name))
        return false;
    for (unsigned char c : password)
        if (c < ' ' || c == 0x7F)
            return false;
    account = {std::string(host), std::string(name), std::string(password)};
    return true;
}

} // namespace

bool parseFtpAccounts(std::string_view text, std::vector<FtpAccount>& accounts) {
    accounts.clear();
    std::vector<FtpAccount> found;
    size_t from = 0;
    while (true) {
        size_t end = text.find(';', from);
        FtpAccount account;
        if (found.size() == 2 || !parseAccount(text.substr(from, end - from), account))
            return false;
        found.push_back(std::move(account));
        if (end == text.npos)
            break;
        from = end + 1;
    }
    accounts = std::move(found);
    return true;
}

std::vector<FtpAccount> startupAccounts() {
    std::vector<FtpAccount> accounts;
    if (const char* configured = std::getenv("QUILLON_STARTUP_FTP")) {
        parseFtpAccounts(configured, accounts);
        return accounts;
    }
    for (const char* builtIn : {QUILLON_STARTUP_FTP_1, QUILLON_STARTUP_FTP_2}) {
        std::vector<FtpAccount> one;
        if (parseFtpAccounts(builtIn, one))
            accounts.insert(accounts.end(), one.begin(), one.end());
    }
    return accounts;
}

int checkForUpdate(const std::vector<FtpAccount>& accounts, std::string& defaultHost) {
    FtpClient ftp;
    ftp.SetMaxFileSize(kMaxStartupInfoSize);
    bool connected = false;
    for (const auto& account : accounts) {
        ftp.SetHostname(account.host);
        ftp.SetUsername(account.account);
        ftp.SetPassword(account.password);
        ftp.SetConnectTimeout(kStartupConnectTimeoutSeconds);
        ftp.SetPassive(true);
        if ((connected = ftp.Connect()))
            break;
    }
    if (!connected)
        return 0;

    std::string text;
    if (!ftp.GetRemoteFileTextData(kStartupInfoFile, text))
        return 0;
    ftp.Disconnect();
    // The host is used as it stands, spaces and line breaks included; what
    // follows the last ";" is used by nothing. No ";" or nothing before it
    // names no host.
    size_t cut = text.rfind(';');
    if (cut == std::string::npos || cut == 0)
        return 0;
    defaultHost = text.substr(0, cut);
    return 1;
}

} // namespace quillon
