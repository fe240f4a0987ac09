#pragma once

#include "orders/OrderBook.h"
#include "orders/OrderEntry.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>

namespace testsupport {

// An order with every stored field set; `tag` tells equal numbers apart.
inline std::unique_ptr<quillon::OrderEntry> sampleOrder(const std::string& number,
                                                        uint32_t received = 1'600'000'000,
                                                        const std::string& tag = "anna@example.org",
                                                        const std::string& folder = "/orders/x") {
    auto o = std::make_unique<quillon::OrderEntry>();
    std::tie(o->orderNumber, o->customer, o->folder, o->paymentStatus, o->paymentCode, o->amount,
             o->itemCount, o->received, o->reserved) =
        std::tuple(number, tag, folder, "Outstanding", -3, 12.75f, 3, received, 7);
    o->pictures = {{"p1.jpg", {{101, 2, nullptr}, {42, 1, nullptr}}}, {"p2.jpg", {}}};
    return o;
}

// An order database at `path` holding `count` sample orders numbered "A-100",
// "A-101" and on.
inline void writeSampleOrders(const std::string& path, int count) {
    quillon::OrderBook book(path);
    for (int i = 0; i < count; ++i)
        book.add(sampleOrder("A-" + std::to_string(100 + i)));
}

// writeSampleOrders, with the last record cut short as by a crash.
inline void writeTornSampleOrders(const std::string& path, int count) {
    writeSampleOrders(path, count);
    const QString file = QString::fromStdString(path);
    QFile::resize(file, QFileInfo(file).size() - 5);
}

} // namespace testsupport
