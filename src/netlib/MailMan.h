#pragma once

#include "netlib/Email.h"

#include <string>

namespace quillon {

// Sends Emails over SMTP, one at a time. Results are true/false; on false
// LastErrorText says what went wrong and SaveLastError keeps it in a file.
// Nothing throws. The SMTP password never appears in an error text.
class MailMan {
public:
    static constexpr int kDefaultConnectTimeoutSeconds = 30;
    // The longest a whole send may take, and the longest the server may
    // stay silent in between.
    static constexpr int kTimeoutSeconds = 300;
    static constexpr int kStallSeconds = 60;

    MailMan();

    // The shop's smtp setting: "host", "host:port", or a URL
    // "smtp://[user[:password]@]host[:port]" or "smtps://..." (see
    // parseMailServer). A plain host uses port 25 with STARTTLS whenever the
    // server offers it.
    void SetSmtpHost(const std::string& setting) { m_setting = setting; }
    void SetConnectTimeout(int seconds) { m_connectTimeout = seconds > 0 ? seconds : 1; }

    // Delivers `email` to the server. Every recipient must be accepted.
    bool SendEmail(const Email& email);

    const std::string& LastErrorText() const { return m_lastError; }
    // Writes the last error as a small XML document, replacing the file at
    // `path` whole (written aside and renamed). False when it cannot.
    bool SaveLastError(const std::string& path) const;

private:
    bool fail(const std::string& text);

    std::string m_setting;
    int m_connectTimeout = kDefaultConnectTimeoutSeconds;
    std::string m_lastError;
    std::string m_lastServer; // the URL of the last send, without credentials
    std::string m_password;   // of the last send, kept out of every error text
};

} // namespace quillon
