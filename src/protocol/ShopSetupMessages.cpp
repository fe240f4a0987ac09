#include "protocol/ShopSetupMessages.h"

namespace quillon {

ShopSetupRequest::ShopSetupRequest() : Message(0, 0) {
    for (std::string* text : {&shopName, &password, &streetAddress, &city, &country, &zipCode,
                              &email1, &email2, &phone1, &phone2, &primaryContact, &url})
        addField(text);
    addField(&currency);
    addField(&orderRestriction);
    addField(&payPal);
    addField(&paymentType);
    addField(&salesTax);
    addField(&logo);
}

ShopSetupResponse::ShopSetupResponse() : Message(0, 0) {
    addField(&kindEcho);
    addField(&result);
    addField(&message);
    addField(&versionEcho);
}

} // namespace quillon
