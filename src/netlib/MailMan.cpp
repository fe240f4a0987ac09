#include "netlib/MailMan.h"

#include "netlib/AnsiText.h"
#include "netlib/MailHeaders.h"
#include "netlib/MailServer.h"
#include "netlib/Socket.h"
#include "netlib/XmlText.h"

#include "netlib/CurlLibrary.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace quillon {

namespace {

using CurlHandle = std::unique_ptr<CURL, decltype(&curl::easy_cleanup)>;
using MimeHandle = std::unique_ptr<curl_mime, decltype(&curl::mime_free)>;
using ListHandle = std::unique_ptr<curl_slist, decltype(&curl::slist_free_all)>;

bool append(ListHandle& list, const std::string& line) {
    curl_slist* longer = curl::slist_append(list.get(), line.c_str());
    if (!longer)
        return false;
    (void)list.release(); // now part of `longer`
    list.reset(longer);
    return true;
}

// Mail lines end in CRLF; the shop's texts use LF (or, from old
// Windows files, CRLF).
std::string withCrlf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string messageId(const std::string& from) {
    std::random_device random;
    std::uniform_int_distribution<unsigned long long> any;
    char id[64];
    std::snprintf(id, sizeof id, "%016llx.%lld", any(random), (long long)std::time(nullptr));
    return "<" + std::string(id) + from.substr(from.find('@')) + ">";
}

std::string headerRecipients(const Email& email) {
    std::string list;
    for (const auto& r : email.To()) {
        if (!list.empty())
            list += ",\r\n ";
        list += mailbox(ansiToUtf8(r.displayName), r.address);
    }
    return list;
}

// The envelope recipients, the top-level headers and the MIME parts of one
// mail, kept alive until curl has sent them.
struct OutgoingMessage {
    MimeHandle mime{nullptr, curl::mime_free};
    ListHandle headers{nullptr, curl::slist_free_all};
    ListHandle recipients{nullptr, curl::slist_free_all};
};

// False only when memory ran out.
bool buildMessage(CURL* curl, const Email& email, OutgoingMessage& m) {
    bool built = append(m.headers, "Date: " + mailDate(std::time(nullptr))) &&
                 append(m.headers, "From: " + mailbox({}, email.From())) &&
                 append(m.headers, "To: " + headerRecipients(email)) &&
                 append(m.headers, "Subject: " + encodedHeaderText(ansiToUtf8(email.Subject()))) &&
                 append(m.headers, "Message-ID: " + messageId(email.From()));
    for (const auto& r : email.To())
        built = built && append(m.recipients, "<" + r.address + ">");

    m.mime.reset(curl::mime_init(curl));
    std::string body = ansiToUtf8(withCrlf(email.Body()));
    curl_mimepart* text = m.mime ? curl::mime_addpart(m.mime.get()) : nullptr;
    built = built && text && curl::mime_data(text, body.data(), body.size()) == CURLE_OK &&
            curl::mime_type(text, "text/plain; charset=UTF-8") == CURLE_OK &&
            curl::mime_encoder(text, "quoted-printable") == CURLE_OK;
    for (const auto& a : email.Attachments()) {
        curl_mimepart* file = built ? curl::mime_addpart(m.mime.get()) : nullptr;
        built = file && curl::mime_data(file, a.data.data(), a.data.size()) == CURLE_OK &&
                curl::mime_type(file, a.contentType.c_str()) == CURLE_OK &&
                curl::mime_filename(file, a.fileName.c_str()) == CURLE_OK &&
                curl::mime_encoder(file, "base64") == CURLE_OK;
    }
    return built;
}

} // namespace

MailMan::MailMan() = default;

bool MailMan::fail(const std::string& text) {
    m_lastError = text;
    if (!m_password.empty())
        for (size_t at = m_lastError.find(m_password); at != std::string::npos;
             at = m_lastError.find(m_password, at + 4))
            m_lastError.replace(at, m_password.size(), "****");
    return false;
}

bool MailMan::SendEmail(const Email& email) {
    m_lastError.clear();
    m_lastServer.clear();
    m_password.clear();

    MailServer server;
    std::string error;
    if (!parseMailServer(m_setting, server, error))
        return fail(error);
    m_lastServer = server.url;
    m_password = server.password;

    if (!isPlainAddress(email.From()))
        return fail("Invalid sender address \"" + email.From() + "\".");
    if (email.To().empty())
        return fail("The e-mail has no recipient.");
    for (const auto& r : email.To())
        if (!isPlainAddress(r.address))
            return fail("Invalid recipient address \"" + r.address + "\".");

    CurlHandle curl(curl::easy_init(), curl::easy_cleanup);
    if (!curl)
        return fail("Could not create an SMTP session" + curl::loadFailure() + ".");
    OutgoingMessage message;
    if (!buildMessage(curl.get(), email, message))
        return fail("Out of memory.");

    CURL* c = curl.get();
    std::string from = "<" + email.From() + ">";
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl::easy_setopt(c, CURLOPT_URL, server.url.c_str());
    curl::easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl::easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl::easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(m_connectTimeout));
    curl::easy_setopt(c, CURLOPT_TIMEOUT, long(kTimeoutSeconds));
    curl::easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(kStallSeconds));
    curl::easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl::easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(kStallSeconds));
    curl::easy_setopt(c, CURLOPT_USE_SSL,
                      long(server.requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!server.user.empty()) {
        curl::easy_setopt(c, CURLOPT_USERNAME, server.user.c_str());
        curl::easy_setopt(c, CURLOPT_PASSWORD, server.password.c_str());
    }
    curl::easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    curl::easy_setopt(c, CURLOPT_MAIL_RCPT, message.recipients.get());
    curl::easy_setopt(c, CURLOPT_HTTPHEADER, message.headers.get());
    curl::easy_setopt(c, CURLOPT_MIMEPOST, message.mime.get());
    curl::easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);

    CURLcode rc = curl::easy_perform(c);
    if (rc == CURLE_OK)
        return true;
    long reply = 0;
    curl::easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply);
    std::string text =
        std::string(curl::easy_strerror(rc)) + (errorBuffer[0] ? ": " : "") + errorBuffer;
    if (reply > 0)
        text += " (last server reply " + std::to_string(reply) + ")";
    return fail(text);
}

bool MailMan::SaveLastError(const std::string& path) const {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<emailerrors>\n";
    if (!m_lastError.empty()) {
        doc += "  <error server=\"";
        appendXmlText(doc, m_lastServer);
        doc += "\">";
        appendXmlText(doc, m_lastError);
        doc += "</error>\n";
    }
    doc += "</emailerrors>\n";

    std::filesystem::path target = ansiPath(path);
    std::filesystem::path aside = target;
    aside += ".tmp";
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out << doc;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(aside, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(aside, target, ec);
    if (ec) {
        std::filesystem::remove(aside, ec);
        return false;
    }
    return true;
}

} // namespace quillon
