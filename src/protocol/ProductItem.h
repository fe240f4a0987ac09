#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One product of the shop's product list: what customers can order.
struct ProductItem {
    int32_t code = 0;
    float price = 0.0f;
    std::string description;
};

using ProductList = std::vector<ProductItem>;

// The first product with `code`, or none.
inline const ProductItem* findProduct(const ProductList* list, int32_t code) {
    if (!list)
        return nullptr;
    for (const ProductItem& p : *list)
        if (p.code == code)
            return &p;
    return nullptr;
}

} // namespace quillon
