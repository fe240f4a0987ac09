#pragma once

#include <cstddef>
#include <string>

namespace quillon {

// Reads text files from an FTP account. Connect logs in; the connection then
// stays open for the reads until Disconnect. Results are true/false and
// LastErrorText says what went wrong; nothing throws.
class FtpClient {
public:
    static constexpr int kDefaultConnectTimeoutSeconds = 30;
    // The longest that one read may take once connected, and the longest
    // silence of the server in any step.
    static constexpr int kTransferTimeoutSeconds = 60;
    // initinfo-style files are tiny; anything near this is not one of ours.
    static constexpr size_t kDefaultMaxFileSize = 1024 * 1024;

    FtpClient();
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // "host" or "host:port" (port 21 when none is given).
    void SetHostname(const std::string& host) { m_host = host; }
    void SetUsername(const std::string& user) { m_user = user; }
    void SetPassword(const std::string& password) { m_password = password; }
    void SetConnectTimeout(int seconds) { m_connectTimeout = seconds > 0 ? seconds : 1; }
    void SetPassive(bool passive) { m_passive = passive; }
    void SetMaxFileSize(size_t bytes) { m_maxFileSize = bytes; }

    // Connects and logs in; an earlier connection is closed first.
    bool Connect();
    void Disconnect();
    bool IsConnected() const { return m_curl != nullptr; }

    // The whole content of `remoteName`, a plain file name in the account's
    // start folder. Needs a connection.
    bool GetRemoteFileTextData(const std::string& remoteName, std::string& text);

    const std::string& LastErrorText() const { return m_lastError; }

private:
    bool perform(const std::string& path, bool body, std::string* text);
    void setError(const std::string& text);

    std::string m_host;
    std::string m_user;
    std::string m_password;
    int m_connectTimeout = kDefaultConnectTimeoutSeconds;
    bool m_passive = true;
    size_t m_maxFileSize = kDefaultMaxFileSize;
    void* m_curl = nullptr;
    std::string m_lastError;
};

} // namespace quillon
