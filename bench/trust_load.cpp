// Times loading the trusted customers file (TRUST.TXT) written in
// ascending, descending and random order, against the former way of
// loading it, which inserted each line in sorted place one by one (timed
// once per file: it is quadratic), and against reading the file's bytes.
// Both must give the same list.
//
//   bench_trust_load [repetitions]

#include "BenchSamples.h"
#include "orders/TrustedCustomers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;

double msOf(const std::function<void()>& run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

// The former loader's placing of one line: a binary search over the entries
// before the last one, then an insertion that moves the rest of the list.
void insertOneByOne(std::vector<TrustedCustomer>& list, TrustedCustomer customer) {
    const std::string key = lowered(customer.email);
    const auto less = [](const std::string& k, const TrustedCustomer& c) {
        return k < lowered(c.email);
    };
    size_t place;
    if (list.empty() || key > lowered(list.back().email))
        place = list.size();
    else if (key < lowered(list.front().email))
        place = 0;
    else
        place = size_t(std::upper_bound(list.begin(), list.end() - 1, key, less) - list.begin());
    list.insert(list.begin() + std::ptrdiff_t(place), std::move(customer));
}

enum class Order { Ascending, Descending, Random };

// Customers in the file's order; every 97th repeats an earlier address in
// capitals, so equal keys are placed too.
std::vector<TrustedCustomer> customers(int count, Order order) {
    std::vector<int> numbers(static_cast<size_t>(count));
    std::iota(numbers.begin(), numbers.end(), 0);
    if (order == Order::Descending)
        std::reverse(numbers.begin(), numbers.end());
    if (order == Order::Random)
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    std::vector<TrustedCustomer> result;
    for (int i = 0; i < count; ++i) {
        char email[48];
        std::snprintf(email, sizeof email, "customer%06d@example.org", numbers[size_t(i)]);
        std::string text = email;
        if (i % 97 == 96)
            std::transform(text.begin(), text.end(), text.begin(), ::toupper);
        result.push_back({text, "First" + std::to_string(i), "Last", "555-0100", "1 Main St"});
    }
    return result;
}

QByteArray fileOf(const std::vector<TrustedCustomer>& list) {
    QByteArray bytes;
    for (const TrustedCustomer& c : list)
        bytes += QByteArray::fromStdString(c.email + ';' + c.firstName + ';' + c.lastName + ';' +
                                           c.phone + ';' + c.address + "\r\n");
    return bytes;
}

bool run(const char* name, int count, Order order, int repetitions, const QString& path) {
    const std::vector<TrustedCustomer> lines = customers(count, order);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(fileOf(lines)) < 0)
        return false;
    file.close();

    std::vector<double> reads, loads;
    TrustedCustomers loaded;
    for (int i = 0; i < repetitions; ++i) {
        reads.push_back(msOf([&] {
            QFile in(path);
            if (in.open(QIODevice::ReadOnly))
                in.readAll();
        }));
        loads.push_back(msOf([&] { loaded.load(path.toStdString()); }));
    }
    std::vector<TrustedCustomer> former;
    const double formerMs = msOf([&] {
        for (const TrustedCustomer& c : lines)
            insertOneByOne(former, c);
    });
    const bool same = former == loaded.customers();
    const double loadMs = bench::median(loads);
    std::printf("%-10s %7d lines: read %7.1f ms, load %8.1f ms, one by one %9.1f ms (%.1f x)%s\n",
                name, count, bench::median(reads), loadMs, formerMs, formerMs / loadMs,
                same ? "" : "  DIFFERENT LISTS");
    std::fflush(stdout);
    return same;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath("TRUST.TXT");
    std::printf("TRUST.TXT load, median of %d; one by one: the former placing alone (no "
                "reading or parsing), timed once\n",
                repetitions);
    bool same = run("ascending", 50'000, Order::Ascending, repetitions, path);
    same = run("descending", 50'000, Order::Descending, repetitions, path) && same;
    same = run("random", 50'000, Order::Random, repetitions, path) && same;
    same = run("random", 100'000, Order::Random, repetitions, path) && same;
    std::printf("goal: every order within a few times the ascending load\n");
    return same ? 0 : 1;
}
