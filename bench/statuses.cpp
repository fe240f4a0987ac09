// Order statuses at 100,000 orders, medians with ratios against anchors
// measured in the same run:
//   ready    the order database read and the list built, with 100,000
//            status rows read at the same time on the status database's
//            thread (anchor: the same without a status database, as the
//            list was built before statuses);
//   change   a status change's time on the user-interface thread: the
//            request, then taking in the commit with the list's update
//            (the commit itself runs on the database's thread);
//   filter   a change of the status choice (anchor: the find field's filter
//            for one typed letter).
// Usage: bench_statuses
#include "BenchSamples.h"
#include "orders/Clock.h"
#include "status/StatusDatabase.h"
#include "status/StatusStore.h"
#include "ui/orderlist/OrderListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>
#include <numeric>

using namespace quillon;

namespace {

constexpr int kOrders = 100'000;
constexpr int kRuns = 5;

using bench::cpuMsOf;

void waitFor(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// Loads the book and builds the list, with the statuses when `statuses`.
double listReady(const std::string& database, const std::string& statuses) {
    const SystemClock clock;
    QElapsedTimer t;
    t.start();
    std::unique_ptr<StatusStore> store;
    if (!statuses.empty()) {
        store = std::make_unique<StatusStore>(statuses, clock);
        store->open();
    }
    OrderBook book(database);
    book.load();
    OrderListView view(book);
    if (store) {
        const double loaded = double(t.nsecsElapsed()) / 1e6;
        const double taking = cpuMsOf([&] { waitFor([&] { return store->hasAnswered(); }); });
        const double waited = double(t.nsecsElapsed()) / 1e6;
        const double shown = cpuMsOf([&] { view.setStatuses(*store); });
        std::fprintf(stderr, "  list built %.0f, statuses in %.0f (taken in %.0f ms), shown %.0f ms\n",
                     loaded, waited, taking, shown);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string database = dir.filePath("OE.DB").toStdString();
    const std::string statuses = dir.filePath("status.sqlite").toStdString();
    std::vector<int> numbers(kOrders);
    std::iota(numbers.begin(), numbers.end(), 1);
    if (!bench::writeSampleDatabase(QString::fromStdString(database), numbers, 2))
        return 1;
    {
        StatusDatabase db(statuses);
        db.open(0);
        std::vector<OrderKey> keys;
        for (int n : numbers)
            keys.push_back(keyOf(bench::sampleOrder(n, 2)));
        db.change(keys, OrderStatus::PickedUp, 1'700'000'000, "window");
    }

    std::vector<double> opens;
    for (int run = 0; run < kRuns; ++run) {
        StatusDatabase db(statuses);
        QElapsedTimer t;
        t.start();
        db.open(0);
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("open    100,000 rows read on the database's thread %.1f ms\n",
                bench::median(opens));

    std::vector<double> before, with;
    for (int run = 0; run < kRuns; ++run) {
        before.push_back(listReady(database, {}));
        with.push_back(listReady(database, statuses));
    }
    const double a = bench::median(before), b = bench::median(with);
    std::printf("ready   without statuses %8.1f ms   with 100,000 rows %8.1f ms   ratio %.2f\n", a,
                b, b / a);

    const SystemClock clock;
    StatusStore store(statuses, clock);
    store.open();
    waitFor([&] { return store.hasAnswered(); });
    OrderBook book(database);
    book.load();
    OrderListView view(book);
    view.resize(600, 800);
    view.setStatuses(store);
    std::vector<double> requests, commits;
    for (int i = 0; i < 21; ++i) {
        const OrderKey key = keyOf(bench::sampleOrder(1 + i * 4000, 2));
        const OrderStatus status = i % 2 ? OrderStatus::Ready : OrderStatus::InProduction;
        requests.push_back(cpuMsOf([&] { store.requestChange({key}, status, "window"); }));
        bool done = false;
        auto seen = QObject::connect(&store, &StatusStore::changesCommitted, &app,
                                     [&done] { done = true; });
        // The event loop's turn that delivers the commit: the store takes
        // it in, the list and the counts follow.
        double taken = 0;
        while (!done)
            taken = cpuMsOf([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
        QObject::disconnect(seen);
        commits.push_back(taken);
    }
    std::printf("change  request %.3f ms   commit taken in %.3f ms (the commit itself runs on "
                "the database's thread)\n",
                bench::median(requests), bench::median(commits));

    std::vector<double> choice, typed;
    const StatusFilter filters[] = {
        {StatusChoice::Only, OrderStatus::PickedUp}, {StatusChoice::NotPickedUpYet}, {}};
    for (int i = 0; i < 7; ++i) {
        for (const StatusFilter& f : filters)
            choice.push_back(cpuMsOf([&] { view.setStatusFilter(f); }));
        typed.push_back(cpuMsOf([&] { view.setFilter("v"); }));
        typed.push_back(cpuMsOf([&] { view.setFilter({}); }));
    }
    std::printf("filter  status choice %.1f ms   find, one letter %.1f ms   ratio %.2f\n",
                bench::median(choice), bench::median(typed),
                bench::median(choice) / bench::median(typed));
    return 0;
}
