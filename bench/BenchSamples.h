#pragma once

// What several benchmarks share: camera-like pictures, sample orders and
// their database file, and the median.

#include "orders/OrderBook.h"
#include "orders/OrderRecordCodec.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Smooth light and shade with sensor-like noise, so the JPEG weighs what a
// camera's would.
inline QImage photoLike(int width, int height, uint32_t seed, int grain) {
    QImage image(width, height, QImage::Format_RGB32);
    uint32_t state = seed * 2654435761u + 1;
    auto noise = [&state, grain] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % uint32_t(2 * grain + 1)) - grain;
    };
    const double phase = seed * 0.7;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const double shade = 0.5 + 0.5 * std::sin(6.0 * u + 4.0 * v + phase);
            const int r = int(60 + 150 * u * shade) + noise();
            const int g = int(40 + 160 * v * (1 - shade)) + noise();
            const int b = int(90 + 120 * shade) + noise();
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return image;
}

// Order number n with `pictures` pictures of one or two product lines each,
// in a folder under `root`.
inline quillon::OrderEntry sampleOrder(int n, int pictures = 10,
                                       const std::string& root = "/srv/quillon/Orders") {
    quillon::OrderEntry o;
    char number[32];
    std::snprintf(number, sizeof number, "VPN-%07d", n);
    o.orderNumber = number;
    o.customer = "customer" + std::to_string(n) + "@example.org";
    o.folder = root + "/" + o.orderNumber;
    o.paymentStatus = "Outstanding";
    o.amount = 19.5f;
    o.itemCount = pictures * 2;
    o.received = uint32_t(1'700'000'000 + n);
    // A print size in a quantity of one to three, and for every other picture
    // a second product too.
    for (int p = 0; p < pictures; ++p) {
        quillon::PictureEntry picture{"IMG_" + std::to_string(1000 + p) + ".jpg",
                                      {{100 + (n + p) % 12, 1 + (n + p) % 3}}};
        if ((n + p) % 2 == 0)
            picture.items.push_back({200 + p % 4, 1});
        o.pictures.push_back(picture);
    }
    return o;
}

// An order database holding sampleOrder(n) for each of `numbers`, in order.
inline bool writeSampleDatabase(const QString& path, const std::vector<int>& numbers,
                                int pictures = 10,
                                const std::string& root = "/srv/quillon/Orders") {
    std::string bytes;
    quillon::appendDatabaseHeader(bytes, quillon::OrderBook::kFileHeader);
    for (int n : numbers)
        quillon::appendOrderRecord(bytes, sampleOrder(n, pictures, root));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// A shop's data folders under `dir` and its OE.DB of sampleOrder(n) with two
// pictures for n < `orders`, received at received(n); those of the first
// `withFolders` have an order folder under Orders with their two pictures
// and a summary of 4 KB each.
inline bool writeSampleShop(const QString& dir, int orders, int withFolders,
                            const std::function<uint32_t(int)>& received) {
    for (const char* folder : {"Db", "SystemLog", "OrderLog", "plugin", "History", "Orders"})
        QDir(dir).mkdir(folder);
    const std::string root = QDir(dir).filePath("Orders").toStdString();
    const QByteArray picture(4096, 'p');
    std::string bytes;
    quillon::appendDatabaseHeader(bytes, quillon::OrderBook::kFileHeader);
    for (int n = 0; n < orders; ++n) {
        quillon::OrderEntry order = sampleOrder(n, 2, root);
        order.received = received(n);
        quillon::appendOrderRecord(bytes, order);
        if (n >= withFolders)
            continue;
        const QString folder = QString::fromStdString(order.folder);
        if (!QDir().mkdir(folder))
            return false;
        for (const char* name : {"IMG_1000.jpg", "IMG_1001.jpg", "summary.pdf"}) {
            QFile f(folder + "/" + QString::fromLatin1(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(picture) != picture.size())
                return false;
        }
    }
    QFile db(QDir(dir).filePath("Db/OE.DB"));
    return db.open(QIODevice::WriteOnly) &&
           db.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// Processor time of this thread: what a piece of work costs, without the
// time the scheduler gave to others on a busy machine.
inline double cpuMsOf(const std::function<void()>& run) {
    timespec a{}, b{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
    run();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
    return double(b.tv_sec - a.tv_sec) * 1e3 + double(b.tv_nsec - a.tv_nsec) / 1e6;
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace bench
