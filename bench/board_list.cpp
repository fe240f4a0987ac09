// The counter board's order list at 100,000 orders (or --orders N): the server time of a
// first page (goal < 50 ms), with and without a search, and of a page deep
// down the list, against the window's own search over the same orders (the
// anchor), measured in the same run. Server time is the handler's time from
// the parsed request to the answer's bytes.
//
//   bench_board_list [--runs N] [--orders N]
#include "BenchSamples.h"
#include "board/BoardApi.h"
#include "board/BoardOrders.h"
#include "board/BoardPassword.h"
#include "orders/Clock.h"
#include "orders/OrderSearchIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace quillon;

namespace {

double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return bench::median(times);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = std::max(
        1, args.indexOf("--runs") > 0 ? args.value(args.indexOf("--runs") + 1).toInt() : 21);
    const int orderCount =
        std::max(2, args.indexOf("--orders") > 0 ? args.value(args.indexOf("--orders") + 1).toInt()
                                                 : 100'000);
    BoardOrders::Orders copies;
    for (int n = 0; n < orderCount; ++n)
        copies.push_back(BoardOrders::copyOf(bench::sampleOrder(n)));
    OrderSearchIndex window;
    window.rebuild(copies);
    BoardOrders orders;
    const double replaceMs = medianMs(1, [&] {
        BoardOrders::Orders again;
        for (const auto& o : copies)
            again.push_back(BoardOrders::copyOf(*o));
        orders.replace(std::move(again));
    });

    SystemClock clock;
    BoardApi api(orders, clock, hashBoardPassword("bench"));
    api.setOwnHosts({"127.0.0.1"});
    BoardRequest login{"POST", {"api", "login"},          {},         "127.0.0.1", {}, {},
                       {},     R"({"password":"bench"})", "127.0.0.1"};
    const BoardResponse in = api.handle(login);
    BoardRequest list{"GET", {"api", "orders"}, {}, "127.0.0.1", {}, {}, {}, {}, "127.0.0.1"};
    for (const auto& [name, value] : in.headers)
        if (name == "Set-Cookie")
            list.cookie = value.split(';').first();
    const auto page = [&](const QString& query) {
        BoardRequest r = list;
        r.query = QUrlQuery(query);
        return medianMs(runs, [&] {
            if (api.handle(r).status != 200)
                std::fprintf(stderr, "request %s failed\n", qPrintable(query));
        });
    };
    const std::string middle = BoardOrders::idOf(*copies[orderCount / 2]);

    std::printf("%d orders of 10 pictures; medians of %d runs (ms)\n", orderCount, runs);
    std::printf("  %-48s %7.2f\n", "window's search for \"example\" (anchor)",
                medianMs(runs, [&] { window.find(OrderFilter("example")); }));
    std::printf("  %-48s %7.2f\n", "first page, 50 orders", page("limit=50"));
    std::printf("  %-48s %7.2f\n", "first page, 200 orders", page("limit=200"));
    std::printf("  %-48s %7.2f\n", "first page, search matching every order", page("q=example"));
    std::printf("  %-48s %7.2f\n", "first page, search matching one order",
                page("q=customer4242@"));
    std::printf("  %-48s %7.2f\n", "page after the 50,000th order",
                page("limit=50&before=" + QString::fromStdString(middle)));
    std::printf("  %-48s %7.2f\n", "the board's copy of the book (off the UI thread)", replaceMs);
    return 0;
}
