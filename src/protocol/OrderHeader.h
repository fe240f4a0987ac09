#pragma once

#include "protocol/FlatRecord.h"

#include <cstdint>
#include <string>

namespace quillon {

// The first thing the sending side sends to order server 1.
class OrderHeader : public FlatRecord {
public:
    OrderHeader();

    int32_t unused = 0;
    // File bytes the sender sends between two acknowledgements.
    int32_t blockSize = 0;
    int32_t fileCount = 0;
    // Tax rate in percent: the four bytes of a single-precision value.
    uint32_t taxRateBits = 0;
    std::string title;
    std::string reference1;
    std::string reference2;
    std::string customer; // the customer's e-mail address
    std::string orderNumber;
    std::string folder;

    float taxRate() const;
    void setTaxRate(float percent);
};

} // namespace quillon
