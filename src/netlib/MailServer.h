#pragma once

#include <string>

namespace quillon {

// Where and how MailMan delivers, read from the shop's smtp setting.
struct MailServer {
    std::string url; // "smtp://host:port/" or "smtps://host:port/", never with credentials
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
    bool implicitTls = false; // smtps: TLS from the first byte
    // STARTTLS must succeed before anything is sent. Otherwise it is used
    // whenever the server offers it.
    bool requireTls = false;
};

// Reads the smtp setting: a plain host name ("mail.example.com", port 25),
// "host:port", or a URL "smtp://[user[:password]@]host[:port]" or
// "smtps://..." (ports 25 and 465 by default) with percent-encoded user and
// password. A password is never sent in clear over the network: with smtp://
// to a host other than this machine, STARTTLS becomes mandatory. False and
// `error` (free of the password) when the setting cannot be used.
bool parseMailServer(const std::string& setting, MailServer& server, std::string& error);

} // namespace quillon
