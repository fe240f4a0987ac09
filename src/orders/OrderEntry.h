#pragma once

#include "protocol/ProductItem.h"

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One product line of a picture: so many of product `code`.
struct ItemLine {
    int32_t code = 0;
    int32_t quantity = 0;
    // The first product with this code in the list that priced the order,
    // or none. Product lists live as long as the shop, so this stays valid.
    const ProductItem* product = nullptr;
};

// One picture file of an order with its product lines.
struct PictureEntry {
    std::string fileName; // a plain name inside the order folder
    std::vector<ItemLine> items;
};

// One received order, as the order list shows and the order database keeps it.
struct OrderEntry {
    std::string customer; // the customer's e-mail address
    std::string orderNumber;
    std::string folder;
    std::string paymentStatus;
    int32_t itemCount = 0;
    int32_t paymentCode = 0;
    float amount = 0.0f;
    uint32_t received = 0; // seconds since 1970, UTC
    int32_t reserved = 0;
    std::vector<PictureEntry> pictures;

    // Used by the order pipeline only; not stored in the order database.
    std::string reference1;
    std::string reference2;
    float taxRate = 0.0f;
    int rowId = -1;
    // Made with the summary, one per picture (null where none could be
    // made), and handed on to whoever shows them before the order is kept,
    // so that the order list's memory does not grow with its pictures.
    std::vector<QImage> thumbnails;
};

} // namespace quillon
