#pragma once

#include "protocol/ProductItem.h"

#include <cstdint>
#include <unordered_map>

namespace quillon {

// Finds the first product with a code in constant time, for linking many
// item lines against one product list.
class ProductIndex {
public:
    explicit ProductIndex(const ProductList* products) {
        if (!products)
            return;
        m_first.reserve(products->size());
        for (const ProductItem& p : *products)
            m_first.emplace(p.code, &p); // keeps the first of equal codes
    }

    const ProductItem* find(int32_t code) const {
        auto it = m_first.find(code);
        return it == m_first.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<int32_t, const ProductItem*> m_first;
};

} // namespace quillon
