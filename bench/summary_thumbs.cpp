// Thumbnails plus summary rows for an order of 20 camera-sized JPEGs,
// against vipsthumbnail over the same files in the same run; then the extra
// peak memory of the builder for one such picture, measured in a child
// process.
//
//   bench_summary_thumbs [repetitions]
//   bench_summary_thumbs --memory reduced|full PICTURE   (child mode)

#include "BenchSamples.h"
#include "orders/SummaryBuilder.h"
#include "orders/Thumbnail.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace quillon;

namespace {

constexpr int kPictures = 20;

long peakKilobytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

OrderEntry orderOf(const QString& folder, const QStringList& names, const ProductList& products) {
    OrderEntry order;
    order.customer = "bench@example.org";
    order.orderNumber = "BENCH-000001";
    order.folder = folder.toStdString();
    order.amount = 42.0f;
    for (const QString& name : names) {
        PictureEntry picture;
        picture.fileName = name.toStdString();
        picture.items.push_back({10, 2, &products[0]});
        picture.items.push_back({99, 1, nullptr});
        order.pictures.push_back(std::move(picture));
    }
    return order;
}

// Child mode: the growth of the peak resident size while one picture is
// made into a thumbnail and a summary row ("reduced"), or decoded whole
// ("full", the anchor).
int measureMemory(const QString& mode, const QString& picture) {
    const ProductList products{{10, 0.5f, "Print 10x15"}};
    const SystemClock clock;
    QTemporaryDir dir;
    // Warm up on a small picture: plug-ins, fonts and codecs loaded.
    bench::photoLike(64, 48, 1, 10).save(dir.filePath("small.jpg"), "JPEG", 90);
    OrderEntry warm = orderOf(dir.path(), {"small.jpg"}, products);
    buildSummaryAndThumbnails(warm, "Memory", clock);
    const long before = peakKilobytes();
    if (mode == "full") {
        const QImage whole(picture);
        std::printf("%d\n", whole.isNull() ? 0 : 1);
    } else {
        QFile::link(picture, dir.filePath("big.jpg"));
        OrderEntry order = orderOf(dir.path(), {"big.jpg"}, products);
        buildSummaryAndThumbnails(order, "Memory", clock);
    }
    std::printf("%ld\n", peakKilobytes() - before);
    return 0;
}

long childMemory(const QString& mode, const QString& picture) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--memory", mode, picture});
    if (!child.waitForFinished(120000))
        return -1;
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    return lines.last().toLong();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--memory")
        return measureMemory(args[2], args[3]);
    const int repetitions = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;

    const QString vips = QStandardPaths::findExecutable("vipsthumbnail");
    if (vips.isEmpty()) {
        std::fprintf(stderr, "vipsthumbnail not found (scripts/setup-deps --bench)\n");
        return 1;
    }

    QTemporaryDir dir;
    QStringList names;
    std::printf("writing %d pictures of 12 megapixels...\n", kPictures);
    std::fflush(stdout);
    qint64 smallest = -1, largest = 0;
    for (int i = 0; i < kPictures; ++i) {
        const bool portrait = i % 4 == 3;
        const QString name = QString("IMG_%1.jpg").arg(1000 + i);
        // Grain from a clean studio shot to a high-ISO one.
        const int grain = 8 + i % 5 * 3;
        bench::photoLike(portrait ? 3000 : 4000, portrait ? 4000 : 3000, uint32_t(i + 1), grain)
            .save(dir.filePath(name), "JPEG", 90);
        const qint64 size = QFileInfo(dir.filePath(name)).size();
        smallest = smallest < 0 ? size : std::min(smallest, size);
        largest = std::max(largest, size);
        names << name;
    }
    std::printf("JPEG sizes %.2f to %.2f MB\n", smallest / 1e6, largest / 1e6);

    const ProductList products{{10, 0.5f, "Print 10x15"}};
    const SystemClock clock;
    QStringList vipsArgs{"-s", "120"};
    for (const QString& name : names)
        vipsArgs << dir.filePath(name);

    // One untimed round of each, so both read the files from the page cache.
    std::vector<double> ours, theirs;
    for (int round = 0; round <= repetitions; ++round) {
        OrderEntry order = orderOf(dir.path(), names, products);
        QElapsedTimer timer;
        timer.start();
        const bool saved = buildSummaryAndThumbnails(order, "Benchmark order", clock);
        const double ourMs = timer.nsecsElapsed() / 1e6;

        QProcess process;
        timer.restart();
        process.start(vips, vipsArgs);
        const bool finished = process.waitForFinished(600000) && process.exitCode() == 0;
        const double vipsMs = timer.nsecsElapsed() / 1e6;
        if (!saved || !finished) {
            std::fprintf(stderr, "a run failed (summary saved %d, vipsthumbnail %d)\n", saved,
                         finished);
            return 1;
        }
        if (round > 0) {
            ours.push_back(ourMs / kPictures);
            theirs.push_back(vipsMs / kPictures);
        }
    }
    const double ourMedian = bench::median(ours);
    const double vipsMedian = bench::median(theirs);
    std::printf("thumbnail + summary row, median per picture: %.2f ms\n", ourMedian);
    std::printf("vipsthumbnail -s 120,      median per picture: %.2f ms\n", vipsMedian);
    std::printf("ratio: %.2f (goal <= 0.50)\n", ourMedian / vipsMedian);

    const QString one = dir.filePath(names.first());
    const long reduced = childMemory("reduced", one);
    const long full = childMemory("full", one);
    std::printf("extra peak memory for one picture: %.1f MB (goal < 8 MB); full decode: %.1f MB\n",
                reduced / 1024.0, full / 1024.0);
    return 0;
}
