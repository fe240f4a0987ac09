#pragma once

#include "netlib/ByteData.h"
#include "protocol/Message.h"
#include "protocol/ProductItem.h"
#include "protocol/SessionReturnResponse.h"

#include <cstdint>

namespace quillon {

// 4/2, session: the session block, the number of entries and the encoded
// product list.
class ProductUpdateRequest : public Message {
public:
    ProductUpdateRequest();

    int32_t entryCount = 0;
    ByteData products;

    // Fills both values from a list.
    void setProducts(const ProductList& list);
};

// 4/2, session.
class ProductUpdateResponse : public SessionReturnResponse {
public:
    ProductUpdateResponse() : SessionReturnResponse(4, 2) {}
};

} // namespace quillon
