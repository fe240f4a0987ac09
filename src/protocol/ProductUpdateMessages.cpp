#include "protocol/ProductUpdateMessages.h"

#include "protocol/ProductListWire.h"

namespace quillon {

ProductUpdateRequest::ProductUpdateRequest() : Message(4, 2) {
    addField(&sessionBlock());
    addField(&entryCount);
    addField(&products);
}

void ProductUpdateRequest::setProducts(const ProductList& list) {
    entryCount = int32_t(list.size());
    products = encodeProductList(list);
}

} // namespace quillon
