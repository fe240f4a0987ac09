#pragma once

#include "protocol/ProductItem.h"

#include <sstream>
#include <string>

namespace testsupport {

// "code price description" of each product, joined by "; ", for comparing
// whole lists in one expectation.
inline std::string productListText(const quillon::ProductList& list) {
    std::ostringstream out;
    for (const quillon::ProductItem& p : list)
        out << (out.tellp() ? "; " : "") << p.code << ' ' << p.price << ' ' << p.description;
    return out.str();
}

} // namespace testsupport
