#include "netlib/FtpClient.h"

#include "netlib/Socket.h"

#include "netlib/CurlLibrary.h"

namespace quillon {

namespace {

struct Download {
    std::string* text = nullptr;
    size_t limit = 0;
    bool tooLarge = false;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* d = static_cast<Download*>(user);
    size_t bytes = size * count;
    if (!d->text)
        return bytes;
    if (d->text->size() + bytes > d->limit) {
        d->tooLarge = true;
        return 0; // makes curl stop with a write error
    }
    d->text->append(data, bytes);
    return bytes;
}

// Host names that would change the meaning of the URL built from them
// (user info, path, query) or carry control characters are refused.
bool plainHost(const std::string& host) {
    if (host.empty())
        return false;
    for (unsigned char c : host)
        if (c <= ' ' || c == 0x7F || c == '/' || c == '\\' || c == '@' || c == '?' || c == '#')
            return false;
    return true;
}

bool plainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (unsigned char c : name)
        if (c < ' ' || c == 0x7F || c == '/' || c == '\\')
            return false;
    return true;
}

} // namespace

FtpClient::FtpClient() = default;

FtpClient::~FtpClient() {
    Disconnect();
}

bool FtpClient::Connect() {
    Disconnect();
    if (!plainHost(m_host)) {
        setError("Invalid FTP host name.");
        return false;
    }
    m_curl = curl::easy_init();
    if (!m_curl) {
        setError("Could not create an FTP session" + curl::loadFailure() + ".");
        return false;
    }
    // Logging in and changing to the start folder without a transfer.
    if (!perform("/", false, nullptr)) {
        Disconnect();
        return false;
    }
    return true;
}

void FtpClient::Disconnect() {
    if (m_curl) {
        curl::easy_cleanup(m_curl);
        m_curl = nullptr;
    }
}

bool FtpClient::GetRemoteFileTextData(const std::string& remoteName, std::string& text) {
    text.clear();
    if (!m_curl) {
        setError("Not connected.");
        return false;
    }
    if (!plainFileName(remoteName)) {
        setError("Invalid remote file name.");
        return false;
    }
    char* escaped = curl::easy_escape(m_curl, remoteName.data(), int(remoteName.size()));
    if (!escaped) {
        setError("Invalid remote file name.");
        return false;
    }
    std::string path = std::string("/") + escaped;
    curl::free(escaped);
    if (!perform(path, true, &text)) {
        text.clear();
        return false;
    }
    return true;
}

bool FtpClient::perform(const std::string& path, bool body, std::string* text) {
    CURL* curl = m_curl;
    std::string url = "ftp://" + m_host + path;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Download download{text, m_maxFileSize, false};

    curl::easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl::easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl::easy_setopt(curl, CURLOPT_USERNAME, m_user.c_str());
    curl::easy_setopt(curl, CURLOPT_PASSWORD, m_password.c_str());
    curl::easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl::easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_connectTimeout));
    curl::easy_setopt(curl, CURLOPT_TIMEOUT, long(m_connectTimeout + kTransferTimeoutSeconds));
    curl::easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(kTransferTimeoutSeconds));
    // Passive is curl's default; "-" makes it offer the control
    // connection's own address for an active transfer.
    curl::easy_setopt(curl, CURLOPT_FTPPORT, m_passive ? nullptr : "-");
    curl::easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl::easy_setopt(curl, CURLOPT_NOBODY, body ? 0L : 1L);
    curl::easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl::easy_setopt(curl, CURLOPT_WRITEDATA, &download);
    curl::easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    if (body && m_maxFileSize > 0)
        curl::easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_maxFileSize));

    CURLcode rc = curl::easy_perform(curl);
    curl::easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (rc == CURLE_OK)
        return true;
    if (download.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        setError("The remote file is larger than " + std::to_string(m_maxFileSize) + " bytes.");
    else
        setError(std::string(curl::easy_strerror(rc)) + (errorBuffer[0] ? ": " : "") + errorBuffer);
    return false;
}

// The password travels only as a curl option, never in the URL, so curl's
// texts cannot contain it.
void FtpClient::setError(const std::string& text) {
    m_lastError = text;
}

} // namespace quillon
