#include "protocol/OrderHeader.h"

#include <bit>

namespace quillon {

OrderHeader::OrderHeader() {
    addField(&unused);
    addField(&blockSize);
    addField(&fileCount);
    addField(&taxRateBits);
    addField(&title);
    addField(&reference1);
    addField(&reference2);
    addField(&customer);
    addField(&orderNumber);
    addField(&folder);
}

float OrderHeader::taxRate() const {
    return std::bit_cast<float>(taxRateBits);
}

void OrderHeader::setTaxRate(float percent) {
    taxRateBits = std::bit_cast<uint32_t>(percent);
}

} // namespace quillon
