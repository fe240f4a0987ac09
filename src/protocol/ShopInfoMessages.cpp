#include "protocol/ShopInfoMessages.h"

namespace quillon {

FieldList shopInfoFields(ShopInfo& i) {
    return {&i.country,          &i.city,     &i.streetAddress, &i.zipCode,
            &i.phone1,           &i.phone2,   &i.email1,        &i.email2,
            &i.primaryContact,   &i.url,      &i.shopStatus,    &i.currency,
            &i.orderRestriction, &i.salesTax, &i.payPal,        &i.paymentType,
            &i.hasLogo,          &i.logo};
}

ShopInfoUpdateRequest::ShopInfoUpdateRequest() : Message(4, 0) {
    addField(&sessionBlock());
    for (const FieldRef& f : shopInfoFields(info))
        addField(f);
}

ShopInfoFetchRequest::ShopInfoFetchRequest() : Message(4, 1) {
    addField(&sessionBlock());
}

ShopInfoFetchResponse::ShopInfoFetchResponse() : SessionReturnResponse(4, 1) {
    for (const FieldRef& f : shopInfoFields(info))
        addField(f);
}

} // namespace quillon
