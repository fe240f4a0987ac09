#pragma once

#include "netlib/ByteData.h"
#include "protocol/FieldCodec.h"
#include "protocol/Message.h"
#include "protocol/SessionReturnResponse.h"

#include <cstdint>
#include <string>

namespace quillon {

// The registered shop's details, as "Update shop information" edits them,
// in the order they travel.
struct ShopInfo {
    std::string country;
    std::string city;
    std::string streetAddress;
    std::string zipCode;
    std::string phone1;
    std::string phone2;
    std::string email1;
    std::string email2;
    std::string primaryContact;
    std::string url;
    int32_t shopStatus = 0; // 0 "Sandbox", 1 "Live"
    int32_t currency = 15;
    int32_t orderRestriction = 0;
    uint32_t salesTax = 0;
    std::string payPal;
    int32_t paymentType = 0;
    int32_t hasLogo = 0;
    ByteData logo; // JPEG when hasLogo is 1, else empty
};

// Descriptors of the 18 values in wire order.
FieldList shopInfoFields(ShopInfo& info);

// 4/0, session: the session block, then the shop's details.
class ShopInfoUpdateRequest : public Message {
public:
    ShopInfoUpdateRequest();

    ShopInfo info;
};

// 4/0, session.
class ShopInfoUpdateResponse : public SessionReturnResponse {
public:
    ShopInfoUpdateResponse() : SessionReturnResponse(4, 0) {}
};

// 4/1, session: the session block only.
class ShopInfoFetchRequest : public Message {
public:
    ShopInfoFetchRequest();
};

// 4/1, session: the session block, returncode, then the shop's details.
class ShopInfoFetchResponse : public SessionReturnResponse {
public:
    ShopInfoFetchResponse();

    ShopInfo info;
};

} // namespace quillon
