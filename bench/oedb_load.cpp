// Times loading an order database of 100,000 orders with 10 pictures of 2
// items each, against reading the same file's bytes into memory.
#include "BenchSamples.h"
#include "orders/OrderBook.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

using namespace quillon;

namespace {

constexpr int kOrders = 100'000;
constexpr int kRuns = 7;

using Clock = std::chrono::steady_clock;

// Wall and processor time of one run; the processor time stays meaningful
// on a machine shared with other work.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

Timing timeOf(const std::function<void()>& run) {
    const auto wall = Clock::now();
    const std::clock_t cpu = std::clock();
    run();
    return {std::chrono::duration<double, std::milli>(Clock::now() - wall).count(),
            1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC};
}

Timing median(std::vector<Timing> times) {
    Timing m;
    for (double Timing::*field : {&Timing::wallMs, &Timing::cpuMs}) {
        std::sort(times.begin(), times.end(),
                  [field](const Timing& a, const Timing& b) { return a.*field < b.*field; });
        m.*field = times[times.size() / 2].*field;
    }
    return m;
}

void measure(const char* label, const QString& path, const ProductList& products) {
    std::vector<Timing> reads;
    std::vector<Timing> loads;
    size_t loaded = 0;
    for (int run = 0; run < kRuns; ++run) {
        reads.push_back(timeOf([&] {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly) || f.read(f.size()).size() != f.size())
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        }));
        OrderBook book(path.toStdString());
        book.setProducts(&products);
        loads.push_back(timeOf([&] { book.load(); }));
        loaded = book.size();
    } // freeing the orders is shut-down work, not part of the load
    const Timing read = median(reads);
    const Timing load = median(loads);
    std::printf("%-9s %zu orders, %.1f MB, medians of %d runs (wall / cpu ms):\n"
                "          read bytes %.1f / %.1f, load %.1f / %.1f, ratio %.1f / %.1f\n",
                label, loaded, double(QFile(path).size()) / 1e6, kRuns, read.wallMs, read.cpuMs,
                load.wallMs, load.cpuMs, load.wallMs / read.wallMs, load.cpuMs / read.cpuMs);
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
    const QString shuffled = dir.filePath("shuffled.DB");
    if (!bench::writeSampleDatabase(sorted, numbers))
        return 1;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    if (!bench::writeSampleDatabase(shuffled, numbers))
        return 1;

    // The shop loads once per start, into a heap that has not grown yet.
    // Later runs may reuse memory freed by the one before, depending on how
    // the allocator kept it, so the first load is shown on its own.
    {
        OrderBook first(sorted.toStdString());
        first.setProducts(&products);
        const Timing cold = timeOf([&] { first.load(); });
        std::printf("first load in this process: %zu orders, %.1f / %.1f ms (wall / cpu)\n",
                    first.size(), cold.wallMs, cold.cpuMs);
    }
    measure("ascending", sorted, products);
    measure("shuffled", shuffled, products);
    return 0;
}
