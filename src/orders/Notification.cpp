#include "orders/Notification.h"

#include "netlib/Email.h"
#include "netlib/MailMan.h"
#include "orders/FilePaths.h"

namespace quillon {

namespace {
constexpr std::string_view kPlaceholder = "%ORDER%";
}

std::string expandOrderPlaceholder(const std::string& text, const std::string& orderNumber) {
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(kPlaceholder); at != std::string::npos;
         at = text.find(kPlaceholder, from)) {
        out.append(text, from, at - from).append(orderNumber);
        from = at + kPlaceholder.size();
    }
    return out.append(text, from, std::string::npos);
}

int sendCustomerMail(const std::string& sender, const std::string& recipient,
                     const std::string& smtp, const std::string& subject, const std::string& body,
                     const std::string& attachment, const std::string& errorFolder) {
    MailMan mailer;
    mailer.SetSmtpHost(smtp);

    Email email;
    email.SetBody(body);
    email.AddTo("", recipient);
    email.SetFrom(sender);
    email.SetSubject(subject);
    // A file that could not be read leaves the mail without it.
    if (!attachment.empty())
        email.AddFileAttachment(attachment);

    if (mailer.SendEmail(email))
        return 1;
    mailer.SaveLastError(joinPath(errorFolder, kEmailErrorsFile));
    return 0;
}

int sendNotification(const std::string& sender, const std::string& recipient,
                     const std::string& smtp, const std::string& subjectTemplate,
                     const std::string& orderNumber, const std::string& bodyTemplate,
                     const std::string& summaryPath, bool attach, const std::string& errorFolder) {
    return sendCustomerMail(
        sender, recipient, smtp, expandOrderPlaceholder(subjectTemplate, orderNumber),
        "Order Number: " + orderNumber + "\n\n" + expandOrderPlaceholder(bodyTemplate, orderNumber),
        attach ? summaryPath : std::string(), errorFolder);
}

} // namespace quillon
