// The soak benchmark's files (bench/soak.sh runs it):
//
//   bench_soak shop DIR --aged N --received T
//       a shop's data folders in DIR and its OE.DB of N orders, each with an
//       order folder, received in the 30 seconds before T (seconds since 1970)
//   bench_soak pool DIR --pictures K
//       K photo-like JPEG pictures of 100 KB to 1 MB in DIR
//   bench_soak list OE.DB
//       each order of the database as a line: number, folder, received and
//       its picture names joined by "/", separated by tabs
//   bench_soak probe FILE
//       the lateness of a bare event loop's 10-ms timer, tick by tick, in
//       FILE as the shop's is written, until its standard input closes: what
//       the machine itself holds a thread up for, side by side with the shop
#include "BenchSamples.h"
#include "LatenessLog.h"
#include "orders/OrderDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cstdio>

using namespace quillon;

namespace {

qint64 intOption(const QStringList& args, const char* name, qint64 fallback) {
    const qsizetype at = args.indexOf(name);
    return at > 0 ? args.value(at + 1).toLongLong() : fallback;
}

int makeShop(const QString& dir, int aged, int64_t received) {
    if (!QDir().mkpath(dir) || !bench::writeSampleShop(dir, aged, aged, [received](int n) {
            return uint32_t(received - n % 30);
        })) {
        std::fprintf(stderr, "cannot write the shop in %s\n", qPrintable(dir));
        return 1;
    }
    return 0;
}

// Sizes spread from small prints to what a phone sends: the width grows
// with the index, the grain (and so the weight) cycles.
int makePool(const QString& dir, int count) {
    if (!QDir().mkpath(dir))
        return 1;
    for (int i = 0; i < count; ++i) {
        const int width = 1000 + 1400 * i / std::max(1, count - 1);
        const QImage image = bench::photoLike(width, width * 3 / 4, uint32_t(i + 1), 4 + i % 4 * 3);
        const QString name = QDir(dir).filePath(QString("P%1.jpg").arg(i, 3, 10, QChar('0')));
        for (int quality = 92; quality >= 40; quality -= 8) {
            if (!image.save(name, "JPEG", quality))
                return 1;
            if (QFileInfo(name).size() <= 1'000'000)
                break;
        }
        if (QFileInfo(name).size() > 1'000'000)
            return 1;
    }
    return 0;
}

int listOrders(const QString& path) {
    OrderDatabase db(path.toStdString(), OrderBook::kFileHeader);
    std::vector<std::unique_ptr<OrderEntry>> orders;
    const OrderDatabaseScan scan = db.load(orders);
    if (scan.state != OrderDatabaseScan::State::Whole) {
        std::fprintf(stderr, "%s is not a whole order database\n", qPrintable(path));
        return 1;
    }
    for (const auto& order : orders) {
        std::string names;
        for (const PictureView picture : order->pictures) {
            names += names.empty() ? "" : "/";
            names += picture.fileName;
        }
        std::printf("%s\t%s\t%u\t%s\n", order->orderNumber.c_str(), order->folder.c_str(),
                    order->received, names.c_str());
    }
    return 0;
}

} // namespace

int probe(QCoreApplication& app, const QString& path) {
    bench::LatenessLog log(path, nullptr);
    if (!log.isOpen())
        return 1;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString command = args.value(1);
    const QString target = args.value(2);
    if (command == "shop" && !target.isEmpty())
        return makeShop(target, int(intOption(args, "--aged", 50'000)),
                        intOption(args, "--received", 0));
    if (command == "pool" && !target.isEmpty())
        return makePool(target, int(intOption(args, "--pictures", 40)));
    if (command == "list" && !target.isEmpty())
        return listOrders(target);
    if (command == "probe" && !target.isEmpty())
        return probe(app, target);
    std::fprintf(stderr, "usage: bench_soak shop DIR --aged N --received T | pool DIR --pictures "
                         "K | list OE.DB | probe FILE\n");
    return 2;
}
