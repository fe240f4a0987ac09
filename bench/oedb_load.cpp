// Times loading an order database of 100,000 orders with 10 pictures of 2
// items each, against reading the same file's bytes into memory.
#include "orders/OrderBook.h"
#include "orders/OrderRecordCodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace quillon;

namespace {

constexpr int kOrders = 100'000;
constexpr int kPictures = 10;
constexpr int kRuns = 7;

OrderEntry makeOrder(int n) {
    OrderEntry o;
    char number[32];
    std::snprintf(number, sizeof number, "VPN-%07d", n);
    o.orderNumber = number;
    o.customer = "customer" + std::to_string(n) + "@example.org";
    o.folder = "/srv/quillon/Orders/" + o.orderNumber;
    o.paymentStatus = "Outstanding";
    o.amount = 19.5f;
    o.itemCount = kPictures * 2;
    o.received = uint32_t(1'700'000'000 + n);
    for (int p = 0; p < kPictures; ++p)
        o.pictures.push_back(
            {"IMG_" + std::to_string(1000 + p) + ".jpg", {}, {{p, 1}, {100 + p, 2}}});
    return o;
}

bool writeDatabase(const QString& path, const std::vector<int>& numbers) {
    std::string bytes;
    appendDatabaseHeader(bytes, OrderBook::kFileHeader);
    for (int n : numbers)
        appendOrderRecord(bytes, makeOrder(n));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void measure(const char* label, const QString& path, const ProductList& products) {
    std::vector<double> readTimes;
    std::vector<double> loadTimes;
    size_t loaded = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.read(f.size()).size() != f.size())
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        readTimes.push_back(msSince(start));

        OrderBook book(path.toStdString());
        book.setProducts(&products);
        start = Clock::now();
        book.load();
        loadTimes.push_back(msSince(start));
        loaded = book.size();
    } // freeing the orders is shut-down work, not part of the load
    const double readMs = median(readTimes);
    const double loadMs = median(loadTimes);
    std::printf("%-9s %zu orders, %.1f MB: read bytes %.1f ms, load %.1f ms (medians of %d), "
                "ratio %.1f\n",
                label, loaded, double(QFile(path).size()) / 1e6, readMs, loadMs, kRuns,
                loadMs / readMs);
}

} // namespace

int main() {
    QTemporaryDir dir;
    ProductList products;
    for (int code = 0; code < 200; ++code)
        products.push_back({code, 0.25f * code, "Product " + std::to_string(code)});

    std::vector<int> numbers(kOrders);
    for (int i = 0; i < kOrders; ++i)
        numbers[i] = i;
    const QString sorted = dir.filePath("sorted.DB");
    if (!writeDatabase(sorted, numbers))
        return 1;
    measure("ascending", sorted, products);

    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    const QString shuffled = dir.filePath("shuffled.DB");
    if (!writeDatabase(shuffled, numbers))
        return 1;
    measure("shuffled", shuffled, products);
    return 0;
}
