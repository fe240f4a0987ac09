// Order statuses at 100,000 orders (or --orders N), medians with ratios against anchors
// measured in the same run:
//   ready    process start to the list loaded, laid out with each order's
//            status and painted, and the process gone, as the window does
//            it: the status rows are read on the status database's thread
//            while the order database is read (anchor: the order list's
//            start-up child of a build without statuses, passed with
//            --anchor; this build without a status database beside it);
//            its wall time, and the processor time of all its threads;
//   change   a status change's time on the user-interface thread: the
//            request, then the event loop's turn that takes in the commit
//            with the list's update and the counts (the commit itself runs
//            on the database's thread), with every order shown and with the
//            status choice on "Not picked up yet";
//   filter   a change of the status choice (anchor: the find field's filter
//            for one typed letter).
// Usage: bench_statuses [--anchor BENCH_ORDERLIST] [--orders N]
//        bench_statuses --files DIR   (the files alone, kept in DIR)
//        bench_statuses --ready-child DIR/OE.DB [DIR/status.sqlite]
#include "BenchSamples.h"
#include "orders/Clock.h"
#include "status/StatusDatabase.h"
#include "status/StatusStore.h"
#include "ui/orderlist/OrderListView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <functional>
#include <numeric>
#include <sys/resource.h>

using namespace quillon;

namespace {

int g_orders = 100'000; // --orders
constexpr int kRuns = 9;
// As the order list's start-up child has it.
constexpr QSize kViewSize(600, 800);

using bench::cpuMsOf;
using bench::median;

void waitFor(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// Child process: the order list as the window makes it, with the statuses
// from `statuses` when given: the list is bound to the store before the
// orders come, and the store reads its rows while the book loads.
int readyChild(const QString& database, const QString& statuses) {
    const SystemClock clock;
    std::unique_ptr<StatusStore> store;
    if (!statuses.isEmpty()) {
        store = std::make_unique<StatusStore>(statuses.toStdString(), clock);
        store->open();
    }
    OrderBook book(database.toStdString());
    OrderListView view(book);
    if (store)
        view.setStatuses(*store);
    book.load();
    if (store)
        waitFor([&] { return store->hasAnswered(); });
    view.resize(kViewSize);
    view.show();
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    std::printf("ready\n");
    return 0;
}

// Processor time of the children waited for so far, in ms.
double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct ChildTimes {
    std::vector<double> wall;
    std::vector<double> cpu;
};

// Wall time from process start to its end, and its processor time (all its
// threads); nothing when it failed.
void runChild(const QString& program, const QStringList& arguments, ChildTimes& times) {
    QProcess child;
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer t;
    t.start();
    child.start(program, arguments);
    if (!child.waitForFinished(60'000) || child.exitCode() != 0 ||
        !child.readAllStandardOutput().startsWith("ready"))
        return;
    times.wall.push_back(double(t.nsecsElapsed()) / 1e6);
    times.cpu.push_back(childrenCpuMs() - cpuBefore);
}

void reportReady(const char* what, const std::vector<double>& anchor,
                 const std::vector<double>& without, const std::vector<double>& with) {
    const double w = median(with);
    std::printf("ready   %-15s", what);
    if (!anchor.empty())
        std::printf("anchor %6.1f ms   ", median(anchor));
    std::printf("without statuses %6.1f ms   with %d rows %6.1f ms   ratio %.2f", median(without),
                g_orders, w, w / median(without));
    if (!anchor.empty())
        std::printf(", against the anchor %.2f", w / median(anchor));
    std::printf("\n");
}

void ready(const QString& self, const QString& anchor, const QString& database,
           const QString& statuses) {
    ChildTimes main, without, with;
    for (int run = 0; run < kRuns; ++run) {
        if (!anchor.isEmpty())
            runChild(anchor, {"--startup-child", database}, main);
        runChild(self, {"--ready-child", database}, without);
        runChild(self, {"--ready-child", database, statuses}, with);
    }
    reportReady("wall", main.wall, without.wall, with.wall);
    reportReady("processor", main.cpu, without.cpu, with.cpu);
}

// A change's time on this thread: the request, and the turn of the event
// loop that takes in its commit.
void change(StatusStore& store, OrderListView& view, int pass, const char* shown) {
    std::vector<double> times;
    // The window shows the counts anew with each change.
    std::array<int, kOrderStatuses.size()> shownCounts{};
    auto counts = QObject::connect(&view, &OrderListView::statusCountsChanged, &view,
                                   [&] { shownCounts = view.rows().statusCounts(); });
    for (int i = 0; i < 21; ++i) {
        const OrderKey key = keyOf(bench::sampleOrder(1 + i * 4000, 2));
        const OrderStatus status = kOrderStatuses[size_t(i + pass) % 3];
        const double request = cpuMsOf([&] { store.requestChange({key}, status, "window"); });
        bool done = false;
        auto seen = QObject::connect(&store, &StatusStore::changesCommitted, &view,
                                     [&done] { done = true; });
        double taken = 0;
        while (!done)
            taken = cpuMsOf([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
        QObject::disconnect(seen);
        times.push_back(request + taken);
    }
    QObject::disconnect(counts);
    std::printf("change  %s: %.3f ms median, %.3f ms worst on the user-interface thread\n", shown,
                median(times), *std::max_element(times.begin(), times.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--ready-child")
        return readyChild(args.value(2), args.value(3));
    const QString anchor = args.value(1) == "--anchor" ? args.value(2) : QString();
    if (args.indexOf("--orders") > 0)
        g_orders = std::max(1, args.value(args.indexOf("--orders") + 1).toInt());

    QTemporaryDir dir;
    // --files DIR: only the files, kept in DIR, to run a child by hand.
    const bool filesOnly = args.value(1) == "--files";
    const QDir folder(filesOnly ? args.value(2) : dir.path());
    const QString database = folder.filePath("OE.DB");
    const QString statuses = folder.filePath("status.sqlite");
    std::vector<int> numbers(g_orders);
    std::iota(numbers.begin(), numbers.end(), 1);
    if (!bench::writeSampleDatabase(database, numbers, 2))
        return 1;
    {
        StatusDatabase db(statuses.toStdString());
        db.open(0);
        std::vector<OrderKey> keys;
        for (int n : numbers)
            keys.push_back(keyOf(bench::sampleOrder(n, 2)));
        db.change(keys, OrderStatus::PickedUp, 1'700'000'000, "window");
    }
    if (filesOnly)
        return 0;

    std::vector<double> opens;
    for (int run = 0; run < kRuns; ++run) {
        StatusDatabase db(statuses.toStdString());
        QElapsedTimer t;
        t.start();
        db.open(0);
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("open    %d rows read on the database's thread %.1f ms\n", g_orders, median(opens));
    ready(app.applicationFilePath(), anchor, database, statuses);

    const SystemClock clock;
    StatusStore store(statuses.toStdString(), clock);
    store.open();
    waitFor([&] { return store.hasAnswered(); });
    OrderBook book(database.toStdString());
    book.load();
    OrderListView view(book);
    view.resize(kViewSize);
    change(store, view, 0, "every order shown");
    view.setStatusFilter({StatusChoice::NotPickedUpYet});
    change(store, view, 1, "not picked up yet");

    std::vector<double> choice, typed;
    const StatusFilter filters[] = {
        {StatusChoice::Only, OrderStatus::PickedUp}, {StatusChoice::NotPickedUpYet}, {}};
    for (int i = 0; i < 7; ++i) {
        for (const StatusFilter& f : filters)
            choice.push_back(cpuMsOf([&] { view.setStatusFilter(f); }));
        typed.push_back(cpuMsOf([&] { view.setFilter("v"); }));
        typed.push_back(cpuMsOf([&] { view.setFilter({}); }));
    }
    std::printf("filter  status choice %.1f ms median, %.1f ms worst   find, one letter %.1f ms   "
                "ratio %.2f\n",
                median(choice), *std::max_element(choice.begin(), choice.end()), median(typed),
                median(choice) / median(typed));
    return 0;
}
