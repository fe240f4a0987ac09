// The user-interface thread's worst lateness while the midnight purge removes
// 50,000 orders (their order folders, the XML order log and the rewrite of
// OE.DB, which keeps 10,000 orders), with the main window showing the list:
// the purge as the shop runs it now, its file work off that thread, side by
// side in the same run with the same purge done on the user-interface
// thread, as it was done before (the anchor). The lateness is how much later
// than due a 10-ms timer on that thread fires.
//
//   bench_purge_lateness [--repetitions N] [--purged N] [--kept N] [--no-folders]
//
// --no-folders leaves the purged orders without order folders, for sizes
// whose folders would not fit on the disk.
//
// Uses QT_QPA_PLATFORM and DISPLAY as it finds them (bench/purge.sh).
#include "BenchSamples.h"
#include "UiBeat.h"
#include "core/Logs.h"
#include "core/Shop.h"
#include "orders/Clock.h"
#include "orders/OrderBook.h"
#include "protocol/Prompter.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/shell/GuiApplication.h"
#include "ui/shell/WindowedShop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>

using namespace quillon;
using bench::Beat;
using bench::kBeatMs;
using bench::Lateness;
using bench::runUntil;

namespace {

constexpr int64_t kDay = 86'400;
constexpr int64_t kStart = 1'760'000'000;

class BenchClock : public Clock {
public:
    int64_t now() const override { return m_now; }
    void set(int64_t t) { m_now = t; }

private:
    std::atomic<int64_t> m_now{kStart};
};

enum class Variant { Idle, OnUiThread, OffThread };

// One run: a fresh shop with its window and the orders loaded; a week later
// the purge runs while the beat measures (or, idle, nothing runs for
// `idleSeconds`).
Lateness runOnce(Variant variant, int purged, int kept, bool folders, double idleSeconds = 0) {
    QTemporaryDir dir;
    // The purged orders were received a day before kStart, the kept ones at
    // kStart.
    if (!bench::writeSampleShop(dir.path(), purged + kept, folders ? purged : 0, [purged](int n) {
            return uint32_t(n < purged ? kStart - kDay : kStart);
        })) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
        return {};
    }
    Settings settings;
    settings.status = 2;
    settings.rootpath = dir.filePath("Orders").toStdString();
    settings.hostaddress = "127.0.0.1";
    settings.centralServicePort = 9; // nothing listens: the product list fails at once
    settings.purge = 1;              // a week
    ShopConfig config;
    config.workingDirectory = dir.path().toStdString();
    config.server1Port = 0;
    config.server2Port = 0;
    config.listenAddress = "127.0.0.1";
    BenchClock clock;
    SilentPrompter prompter;
    Shop shop(config, settings, nullptr, clock, prompter);
    WindowOptions options;
    options.splash = false;
    WindowedShop windowed(shop, prompter, options);
    windowed.start();
    runUntil(
        [&] {
            return shop.isReady() && !shop.orderBookFiles().isWriting() &&
                   windowed.window().isVisible();
        },
        120'000);
    if (shop.orderBook().size() != size_t(purged + kept))
        std::fprintf(stderr, "%zu orders listed\n", shop.orderBook().size());

    clock.set(kStart + 7 * kDay - 3600);
    Beat beat;
    beat.start();
    bool done = false;
    QTimer::singleShot(kBeatMs * 5, [&] {
        if (variant == Variant::Idle) {
            QTimer::singleShot(int(idleSeconds * 1000), [&done] { done = true; });
            return;
        }
        if (variant == Variant::OffThread) {
            shop.orderBookFiles().purge(true);
            return;
        }
        // What the midnight tick did before: the purge and the rewrite in
        // the timer's handler.
        auto& book = const_cast<OrderBook&>(shop.orderBook());
        book.purge(purgeAgeDays(settings.purge), nextOrderLogFileName(config.workingDirectory),
                   clock.now());
        book.save();
        done = true;
    });
    runUntil(
        [&] {
            return done || (shop.isReady() && !shop.orderBookFiles().isWriting() &&
                            shop.orderBook().size() == size_t(kept));
        },
        600'000);
    const Lateness l = beat.stop();
    if (variant != Variant::Idle &&
        (!QDir(dir.filePath("Orders")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty() ||
         shop.orderBook().size() != size_t(kept)))
        std::fprintf(stderr, "the purge did not remove every old order\n");

    bool closed = false;
    QObject::connect(&shop, &Shop::closeRequested, [&closed] { closed = true; });
    shop.exit();
    runUntil([&] { return closed; }, 60'000);
    return l;
}

int intOption(const QStringList& args, const char* name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at > 0 ? args.value(at + 1).toInt() : fallback;
}

} // namespace

int main(int argc, char** argv) {
    auto app = makeGuiApplication(argc, argv);
    const QStringList args = app->arguments();
    const int repetitions = std::max(1, intOption(args, "--repetitions", 3));
    const int purged = intOption(args, "--purged", 50'000);
    const int kept = intOption(args, "--kept", 10'000);
    const bool folders = !args.contains("--no-folders");
    std::printf("purge of %d orders (%s) keeping %d; platform %s; %d repetitions\n", purged,
                folders ? "3 files each" : "without folders", kept,
                qPrintable(QGuiApplication::platformName()), repetitions);
    std::fflush(stdout);

    const std::map<Variant, const char*> names = {{Variant::Idle, "idle"},
                                                  {Variant::OnUiThread, "on UI thread"},
                                                  {Variant::OffThread, "off-thread"}};
    std::map<Variant, std::vector<Lateness>> runs;
    for (int r = 0; r < repetitions; ++r)
        for (Variant v : {Variant::OnUiThread, Variant::OffThread, Variant::Idle}) {
            const double idle = v == Variant::Idle ? runs[Variant::OffThread].back().seconds : 0;
            runs[v].push_back(runOnce(v, purged, kept, folders, idle));
            std::printf("  run %d %-12s worst %7.1f ms in %.1f s\n", r + 1, names.at(v),
                        runs[v].back().worst, runs[v].back().seconds);
            std::fflush(stdout);
        }

    auto medianOf = [&](Variant v, double Lateness::*field) {
        std::vector<double> values;
        for (const Lateness& l : runs[v])
            values.push_back(l.*field);
        return bench::median(values);
    };
    std::printf("\nUI thread lateness of a %d-ms timer during the purge, medians of %d runs "
                "(ms):\n",
                kBeatMs, repetitions);
    const double before = medianOf(Variant::OnUiThread, &Lateness::worst);
    for (auto [v, name] : {std::pair{Variant::Idle, "window idle as long (jitter)"},
                           std::pair{Variant::OnUiThread, "file work on the UI thread (anchor)"},
                           std::pair{Variant::OffThread, "file work off the UI thread"}})
        std::printf("  %-36s worst %8.1f  p99 %7.1f  anchor / worst %7.1f  (%.1f s)\n", name,
                    medianOf(v, &Lateness::worst), medianOf(v, &Lateness::p99),
                    before / std::max(medianOf(v, &Lateness::worst), 0.1),
                    medianOf(v, &Lateness::seconds));
    return 0;
}
