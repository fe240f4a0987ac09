// The order list at scale, with medians and ratios against anchors measured
// in the same run:
//   start-up  process start to the list ready (loaded, first painted, find
//             usable), orders of 10 pictures, also in the process's
//             processor time (anchor: the bare database load), and the
//             list's peak memory over the process's before the load;
//   repaint   one full paint scrolled to the middle with orders expanded,
//             also in this thread's processor time (anchor: painting the
//             empty list);
//   scroll    1,000 expanded orders of 10 pictures scrolled through while
//             thumbnails are made on demand: every paint's time, the cache;
//   find      each keystroke's filter, also in processor time (anchor: a
//             case-sensitive search of the same texts).
// Every measurement but the scroll is made for each size of --orders
// (default 100,000), side by side.
// Usage: bench_orderlist [--orders N[,N...]] [--screenshot FILE]
//        bench_orderlist --write-db FILE N   (then --startup-child FILE, by
//        hand or under a profiler)
#include "BenchSamples.h"
#include "orders/OrderFilter.h"
#include "ui/orderlist/OrderListView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <numeric>

using namespace quillon;

namespace {

constexpr int kPictures = 10;
constexpr QSize kViewSize(600, 800);

using bench::cpuMsOf;
using bench::median;

double msOf(const std::function<void()>& run) {
    QElapsedTimer t;
    t.start();
    run();
    return double(t.nsecsElapsed()) / 1e6;
}

long statusKb(const char* field) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return 0;
}

void paint(OrderListView& view) {
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
}

void key(OrderListView& view, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
}

// Child process: load, build the view, paint once, report.
int startupChild(const QString& db) {
    const long baseKb = statusKb("VmRSS:");
    OrderBook book(db.toStdString());
    const double loadMs = msOf([&] { book.load(); });
    std::unique_ptr<OrderListView> view;
    const double buildMs = msOf([&] {
        view = std::make_unique<OrderListView>(book);
        view->resize(kViewSize);
        view->show();
    });
    const double paintMs = msOf([&] {
        paint(*view);
        view->prepareFind();
    });
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::printf("ready %.1f %ld %.1f %.1f %.1f\n", loadMs, statusKb("VmHWM:") - baseKb, buildMs,
                paintMs, double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6);
    std::fflush(stdout);
    return 0;
}

void startup(const QString& self, const QString& db) {
    std::vector<double> ready, load, memory, build, first, processor;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        QElapsedTimer t;
        t.start();
        child.start(self, {"--startup-child", db});
        // Ready when the child says so; freeing its orders at exit is not
        // start-up.
        while (!child.canReadLine() && child.waitForReadyRead(600'000)) {
        }
        const double wall = double(t.nsecsElapsed()) / 1e6;
        const QList<QByteArray> out = child.readLine().trimmed().split(' ');
        if (!child.waitForFinished(600'000))
            return;
        if (out.value(0) != "ready")
            return;
        ready.push_back(wall);
        load.push_back(out.value(1).toDouble());
        memory.push_back(out.value(2).toDouble() / 1024);
        build.push_back(out.value(3).toDouble());
        first.push_back(out.value(4).toDouble());
        processor.push_back(out.value(5).toDouble());
    }
    std::printf("start-up   ready %.0f ms after process start, in %.0f ms of processor time "
                "(load alone %.0f ms, ratio %.2f; view laid out %.0f ms, first paint and find "
                "index %.0f ms); list peak memory %.0f MB\n",
                median(ready), median(processor), median(load), median(ready) / median(load),
                median(build), median(first), median(memory));
}

void repaint(OrderBook& book, const QString& screenshot) {
    OrderListView view(book);
    view.resize(kViewSize);
    view.show();
    view.scrollBy(view.rows().contentHeight() / 2);
    // Every other order on screen expanded, one picture each opened.
    for (int i = 0; i < 20; ++i) {
        key(view, Qt::Key_Down);
        if (i % 2 == 0)
            key(view, Qt::Key_Space);
    }
    std::vector<double> times, cpu, anchor;
    for (int i = 0; i < 50; ++i) {
        double cpuMs = 0;
        times.push_back(msOf([&] { cpuMs = cpuMsOf([&] { paint(view); }); }));
        cpu.push_back(cpuMs);
    }
    if (!screenshot.isEmpty()) {
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        image.save(screenshot);
    }
    OrderBook empty(QDir::temp().filePath("none.DB").toStdString());
    OrderListView bare(empty);
    bare.resize(kViewSize);
    bare.show();
    for (int i = 0; i < 50; ++i)
        anchor.push_back(msOf([&] { paint(bare); }));
    std::printf("repaint    %.2f ms median, %.2f ms worst (processor time %.2f ms worst; empty "
                "list %.2f ms, ratio %.1f)\n",
                median(times), *std::max_element(times.begin(), times.end()),
                *std::max_element(cpu.begin(), cpu.end()), median(anchor),
                median(times) / median(anchor));
}

void scroll(const QString& folder, const QString& screenshot) {
    // 1,000 orders whose 10 pictures are links to a few camera-sized JPEGs.
    std::vector<QString> sources;
    for (int s = 0; s < 4; ++s) {
        QImage photo(3000, 2000, QImage::Format_RGB32);
        QPainter p(&photo);
        QLinearGradient g(0, 0, 3000, 2000);
        g.setColorAt(0, QColor::fromHsv(s * 80, 200, 220));
        g.setColorAt(1, QColor::fromHsv(s * 80 + 40, 120, 90));
        p.fillRect(photo.rect(), g);
        p.end();
        sources.push_back(folder + QString("/source%1.jpg").arg(s));
        photo.save(sources.back(), "JPEG", 90);
    }
    const QString db = folder + "/scroll.DB";
    std::vector<int> numbers(1000);
    std::iota(numbers.begin(), numbers.end(), 0);
    bench::writeSampleDatabase(db, numbers, kPictures, folder.toStdString());
    for (int n : numbers) {
        const QString order = folder + QString::asprintf("/VPN-%07d", n);
        QDir().mkpath(order);
        for (int p = 0; p < kPictures; ++p)
            QFile::link(sources[size_t((n + p) % 4)], order + QString("/IMG_%1.jpg").arg(1000 + p));
    }
    OrderBook book(db.toStdString());
    book.load();
    OrderListView view(book);
    view.resize(kViewSize);
    view.show();
    key(view, Qt::Key_Home);
    for (int n = 0; n < 1000; ++n) {
        key(view, Qt::Key_Space);
        key(view, Qt::Key_Down);
    }
    view.scrollBy(-view.verticalOffset());
    std::vector<double> times, cpu;
    qint64 peakCache = 0;
    QElapsedTimer pace;
    // A quick scroll: 300 px every 16 ms frame, with the event loop running
    // between frames so that made thumbnails arrive.
    while (view.verticalOffset() < view.verticalBar().maximumOffset()) {
        pace.start();
        view.scrollBy(300);
        double cpuMs = 0;
        times.push_back(msOf([&] { cpuMs = cpuMsOf([&] { paint(view); }); }));
        cpu.push_back(cpuMs);
        peakCache = std::max(peakCache, view.thumbnails().bytes());
        while (pace.elapsed() < 16)
            QApplication::processEvents(QEventLoop::AllEvents, 4);
    }
    if (!screenshot.isEmpty()) {
        // The last screen once its thumbnails are made.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 5000) {
            paint(view);
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        image.save(screenshot);
    }
    std::printf(
        "scroll     %zu paints: %.2f ms median, %.2f ms worst (processor time %.2f ms worst); "
        "cache peak %.1f MB of %.0f MB (%lld thumbnails at the end)\n",
        times.size(), median(times), *std::max_element(times.begin(), times.end()),
        *std::max_element(cpu.begin(), cpu.end()), double(peakCache) / 1048576,
        double(view.thumbnails().limit()) / 1048576, qlonglong(view.thumbnails().count()));
}

void find(OrderBook& book) {
    OrderListView view(book);
    view.resize(kViewSize);
    const QString typed = "customer4711@";
    const double prepared = msOf([&] { view.prepareFind(); });
    std::vector<double> times, cpu, anchor;
    const auto type = [&](const QString& text) {
        double cpuMs = 0;
        times.push_back(msOf([&] { cpuMs = cpuMsOf([&] { view.setFilter(text); }); }));
        cpu.push_back(cpuMs);
    };
    for (int run = 0; run < 5; ++run) {
        for (int n = 1; n <= typed.size(); ++n)
            type(typed.left(n));
        type("#"); // matches nothing
        type("");
        anchor.push_back(msOf([&] {
            size_t found = 0;
            book.withOrders([&](const OrderBook::Orders& orders) {
                for (const auto& o : orders) {
                    bool hit = o->orderNumber.find('#') != std::string::npos ||
                               o->customer.find('#') != std::string::npos;
                    for (const PictureView p : o->pictures)
                        hit = hit || p.fileName.find('#') != std::string::npos;
                    found += hit;
                }
            });
            if (found)
                std::printf("?");
        }));
    }
    std::printf("find       %.2f ms median per keystroke, %.2f ms worst (processor time %.2f ms "
                "median, %.2f ms worst; a case-sensitive scan of the same texts %.2f ms, ratio "
                "%.1f); index made once %.0f ms\n",
                median(times), *std::max_element(times.begin(), times.end()), median(cpu),
                *std::max_element(cpu.begin(), cpu.end()), median(anchor),
                median(times) / median(anchor), prepared);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--startup-child")
        return startupChild(args.value(2));
    if (args.value(1) == "--write-db") {
        std::vector<int> numbers(static_cast<size_t>(args.value(3).toInt()));
        std::iota(numbers.begin(), numbers.end(), 0);
        return bench::writeSampleDatabase(args.value(2), numbers, kPictures) ? 0 : 1;
    }
    const auto option = [&args](const char* name) {
        const qsizetype at = args.indexOf(name);
        return at > 0 ? args.value(at + 1) : QString();
    };
    const QString screenshot = option("--screenshot");
    std::vector<int> sizes;
    for (const QString& n : option("--orders").split(',', Qt::SkipEmptyParts))
        sizes.push_back(n.toInt());
    if (sizes.empty())
        sizes.push_back(100'000);

    QTemporaryDir dir;
    for (const int orders : sizes) {
        const QString db = dir.filePath(QString("OE%1.DB").arg(orders));
        std::vector<int> numbers(static_cast<size_t>(orders));
        std::iota(numbers.begin(), numbers.end(), 0);
        if (!bench::writeSampleDatabase(db, numbers, kPictures))
            return 1;
        std::printf("%d orders of %d pictures, OE.DB %.0f MB\n", orders, kPictures,
                    double(QFile(db).size()) / 1e6);
        std::fflush(stdout);
        startup(app.applicationFilePath(), db);
        {
            OrderBook book(db.toStdString());
            book.load();
            repaint(book, screenshot);
            find(book);
        }
        QFile::remove(db);
        std::fflush(stdout);
    }
    scroll(dir.path(),
           screenshot.isEmpty() ? screenshot : screenshot.chopped(4) + "-thumbnails.png");
    return 0;
}
