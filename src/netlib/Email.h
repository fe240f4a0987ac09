#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

// One recipient of an Email.
struct EmailRecipient {
    std::string displayName;
    std::string address;
};

// One file attached to an Email, read whole when it was added.
struct EmailAttachment {
    std::string fileName; // the plain name the recipient sees
    std::string contentType;
    std::string data;
};

// A plain-text e-mail with file attachments, sent by MailMan. Texts and
// paths are 8-bit, as everywhere in the shop (AnsiText.h); MailMan sends
// the texts as UTF-8.
class Email {
public:
    // Larger files are refused rather than sent to a mail server that will
    // bounce them.
    static constexpr size_t kMaxAttachmentSize = 25u * 1024 * 1024;

    void SetBody(const std::string& text) { m_body = text; }
    void SetSubject(const std::string& subject) { m_subject = subject; }
    void SetFrom(const std::string& address) { m_from = address; }
    void AddTo(const std::string& displayName, const std::string& address) {
        m_to.push_back({displayName, address});
    }

    // Reads the file at `path` and attaches it. Returns its content type
    // ("application/pdf" for a .pdf file), or an empty text when the file
    // cannot be read or is too large; it is then not attached.
    std::string AddFileAttachment(const std::string& path);

    const std::string& Body() const { return m_body; }
    const std::string& Subject() const { return m_subject; }
    const std::string& From() const { return m_from; }
    const std::vector<EmailRecipient>& To() const { return m_to; }
    const std::vector<EmailAttachment>& Attachments() const { return m_attachments; }

private:
    std::string m_body;
    std::string m_subject;
    std::string m_from;
    std::vector<EmailRecipient> m_to;
    std::vector<EmailAttachment> m_attachments;
};

} // namespace quillon
