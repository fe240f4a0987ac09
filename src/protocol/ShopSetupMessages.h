#pragma once

#include "netlib/ByteData.h"
#include "protocol/Message.h"

#include <cstdint>
#include <string>

namespace quillon {

// A new shop's details as the "Shop setup" dialog holds them.
struct ShopSetupDetails {
    std::string shopName;
    std::string password;
    std::string streetAddress;
    std::string city;
    std::string country;
    std::string zipCode;
    std::string email1;
    std::string email2;
    std::string phone1;
    std::string phone2;
    std::string primaryContact;
    std::string url;
    int32_t currency = 15;
    int32_t orderRestriction = 0;
    std::string payPal;
    int32_t paymentType = 0;
    uint32_t salesTax = 0; // the percent's float bits
    ByteData logo;         // JPEG, empty when there is none
};

// 0/0, plain: a new shop's details, the password encrypted.
class ShopSetupRequest : public Message, public ShopSetupDetails {
public:
    ShopSetupRequest();
};

// 0/0, plain: the service's answer. The first and last values are echoes
// that the shop does not use; they are kept apart from the header.
class ShopSetupResponse : public Message {
public:
    ShopSetupResponse();

    int32_t kindEcho = 0;
    int32_t result = 0; // 1 accepted
    std::string message;
    int32_t versionEcho = 0;
};

} // namespace quillon
