#include "status/ReadyMail.h"

#include "orders/Notification.h"

#include <cstdio>
#include <string_view>
#include <utility>

namespace quillon {

std::string expandReadyPlaceholders(const std::string& text, const ReadyMailFields& fields) {
    char amount[64];
    std::snprintf(amount, sizeof amount, "%1.2f", double(fields.amount));
    const std::pair<std::string_view, std::string> values[] = {
        {"%ORDER%", fields.orderNumber},
        {"%SHOP%", fields.shopName},
        {"%ITEMS%", std::to_string(fields.items)},
        {"%AMOUNT%", amount}};
    // One pass, so a value that holds a placeholder's name stays as it is.
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [name, value] : values)
            if (text.compare(i, name.size(), name) == 0) {
                out += value;
                i += name.size();
                replaced = true;
                break;
            }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

int sendReadyMail(const std::string& sender, const std::string& recipient, const std::string& smtp,
                  const std::string& subjectTemplate, const std::string& bodyTemplate,
                  const ReadyMailFields& fields, const std::string& errorFolder) {
    return sendCustomerMail(sender, recipient, smtp,
                            expandReadyPlaceholders(subjectTemplate, fields),
                            expandReadyPlaceholders(bodyTemplate, fields), {}, errorFolder);
}

} // namespace quillon
