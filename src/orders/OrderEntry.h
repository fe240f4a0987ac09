#pragma once

#include "orders/PictureList.h"

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

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
    PictureList pictures;

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
