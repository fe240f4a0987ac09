// quillon-status-writer DATABASE: changes the statuses of 40 orders as fast
// as the status store lets it, eight requests in flight, and prints one line
// "<history id> <order number> <status key>" for every change the store has
// reported committed. The SIGKILL test kills it at random points.
#include "orders/Clock.h"
#include "status/StatusStore.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

using namespace quillon;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    SystemClock clock;
    StatusStore store(argv[1], clock);
    constexpr int kOrders = 40;
    uint64_t next = 0;
    auto ask = [&] {
        const int order = int(next % kOrders);
        const OrderStatus status = kOrderStatuses[(next / kOrders + 1) % kOrderStatuses.size()];
        ++next;
        store.requestChange({{"W-" + std::to_string(order), 1'700'000'000, "/orders/w"}}, status,
                            "window");
    };
    QObject::connect(&store, &StatusStore::opened, [&](const StatusOpening& opening) {
        if (opening.state == StatusOpening::State::Failed) {
            std::fprintf(stderr, "%s\n", opening.error.c_str());
            app.exit(1);
            return;
        }
        // Where an earlier run stopped does not matter: each change differs
        // from what the order has or is skipped.
        for (int i = 0; i < 8; ++i)
            ask();
    });
    QObject::connect(&store, &StatusStore::changesCommitted,
                     [&](quint64, const std::vector<StatusChange>& changes) {
                         for (const StatusChange& c : changes)
                             std::printf("%lld %s %s\n", static_cast<long long>(c.id),
                                         c.order.orderNumber.c_str(),
                                         std::string(statusKey(c.status)).c_str());
                         std::fflush(stdout);
                         ask();
                     });
    QObject::connect(&store, &StatusStore::changeFailed, [&](quint64, const QString& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        app.exit(1);
    });
    // Never outlives a test that lost it.
    QTimer::singleShot(60'000, &app, &QCoreApplication::quit);
    store.open();
    return app.exec();
}
