#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// What the "ready for pick-up" e-mail's placeholders stand for.
struct ReadyMailFields {
    std::string orderNumber; // %ORDER%
    std::string shopName;    // %SHOP%, empty when the shop information is not known
    int32_t items = 0;       // %ITEMS%
    float amount = 0.0f;     // %AMOUNT%, as "%1.2f"
};

// `text` with %ORDER%, %SHOP%, %ITEMS% and %AMOUNT% filled in.
std::string expandReadyPlaceholders(const std::string& text, const ReadyMailFields& fields);

// Tells the customer at `recipient` that the order is ready for pick-up,
// through the notification's SMTP server and sender. 1 when the mail was
// sent; 0 when it failed, with the mail sender's report in "emailerrors.xml"
// in `errorFolder`, as for the notification.
int sendReadyMail(const std::string& sender, const std::string& recipient, const std::string& smtp,
                  const std::string& subjectTemplate, const std::string& bodyTemplate,
                  const ReadyMailFields& fields, const std::string& errorFolder);

} // namespace quillon
