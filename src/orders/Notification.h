#pragma once

#include <string>

namespace quillon {

// The name of the mail error report, written in the error folder.
inline constexpr const char* kEmailErrorsFile = "emailerrors.xml";

// `text` with every "%ORDER%" (case-sensitive) replaced by `orderNumber`.
std::string expandOrderPlaceholder(const std::string& text, const std::string& orderNumber);

// Sends `subject` and `body` to `recipient` through the SMTP server `smtp`,
// with the file at `attachment` when it is not empty and can be read.
// Returns 1 when the mail was sent. On failure it returns 0 and the mail
// sender's report replaces "emailerrors.xml" in `errorFolder`.
int sendCustomerMail(const std::string& sender, const std::string& recipient,
                     const std::string& smtp, const std::string& subject, const std::string& body,
                     const std::string& attachment, const std::string& errorFolder);

// Sends the customer the notification e-mail of a completed order through
// the SMTP server `smtp`: the subject and "Order Number: <number>", an empty
// line and the body, both templates expanded; with `attach` the summary PDF
// at `summaryPath` when it exists. Returns 1 when the mail was sent. On
// failure it returns 0 and the mail sender's report replaces
// "emailerrors.xml" in `errorFolder` (the working folder at run time).
int sendNotification(const std::string& sender, const std::string& recipient,
                     const std::string& smtp, const std::string& subjectTemplate,
                     const std::string& orderNumber, const std::string& bodyTemplate,
                     const std::string& summaryPath, bool attach, const std::string& errorFolder);

} // namespace quillon
