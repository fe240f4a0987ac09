#include "netlib/MailServer.h"

#include "netlib/CurlLibrary.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>

namespace quillon {

namespace {

using UrlHandle = std::unique_ptr<CURLU, decltype(&curl::url_cleanup)>;

std::string trimmed(const std::string& text) {
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
    auto end =
        std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isSpace).base();
    return std::string(begin, end);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// One part of a parsed URL; empty when the URL has none.
std::string part(CURLU* url, CURLUPart which, unsigned flags = 0) {
    char* value = nullptr;
    if (curl::url_get(url, which, &value, flags) != CURLUE_OK || !value)
        return {};
    std::string text(value);
    curl::free(value);
    return text;
}

bool isLoopback(const std::string& host) {
    std::string h = lowered(host);
    return h == "localhost" || h.rfind("127.", 0) == 0 || h == "[::1]";
}

} // namespace

bool parseMailServer(const std::string& setting, MailServer& server, std::string& error) {
    server = {};
    std::string text = trimmed(setting);
    if (text.empty()) {
        error = "No SMTP server is set.";
        return false;
    }
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == ' ') {
            error = "The SMTP server setting contains spaces or control characters.";
            return false;
        }
    }
    bool hasScheme = text.find("://") != std::string::npos;
    if (!hasScheme && text.find_first_of("/@?#\\") != std::string::npos) {
        error = "The SMTP server setting is neither a host nor an smtp:// or smtps:// URL.";
        return false;
    }

    UrlHandle url(curl::url(), curl::url_cleanup);
    if (!url) {
        error = "Out of memory.";
        return false;
    }
    std::string full = hasScheme ? text : "smtp://" + text;
    if (curl::url_set(url.get(), CURLUPART_URL, full.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
        CURLUE_OK) {
        error = "The SMTP server setting is not a valid host or URL.";
        return false;
    }
    std::string scheme = lowered(part(url.get(), CURLUPART_SCHEME));
    if (scheme != "smtp" && scheme != "smtps") {
        error = "The SMTP server URL must start with smtp:// or smtps://.";
        return false;
    }
    std::string path = part(url.get(), CURLUPART_PATH);
    if ((!path.empty() && path != "/") || !part(url.get(), CURLUPART_QUERY).empty() ||
        !part(url.get(), CURLUPART_FRAGMENT).empty()) {
        error = "The SMTP server URL must name only a host and a port.";
        return false;
    }
    server.host = part(url.get(), CURLUPART_HOST);
    if (server.host.empty()) {
        error = "The SMTP server setting names no host.";
        return false;
    }
    server.implicitTls = scheme == "smtps";
    std::string port = part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    server.port = server.implicitTls ? 465 : 25;
    if (!port.empty())
        std::from_chars(port.data(), port.data() + port.size(), server.port);
    server.user = part(url.get(), CURLUPART_USER, CURLU_URLDECODE);
    server.password = part(url.get(), CURLUPART_PASSWORD, CURLU_URLDECODE);
    server.requireTls =
        server.implicitTls || (!server.password.empty() && !isLoopback(server.host));
    server.url = scheme + "://" + server.host + ":" + std::to_string(server.port) + "/";
    return true;
}

} // namespace quillon
