// The user-interface thread's worst lateness while the shop receives 20
// orders of 10 camera-sized pictures each, 4 at a time, from the simulated
// network, with the main window shown; side by side in the same run with
// the same shop without a window (the core's own share), with the window
// idle for as long (the machine's own jitter), and with the counter board on
// while 20 simulated browsers poll it (each asking for the version every
// second and for the list's first page every 2 seconds, on a thread of
// their own). The lateness is how much later than due a 10-ms timer on that
// thread fires.
//
//   bench_window_lateness [--repetitions N]
//
// Uses QT_QPA_PLATFORM and DISPLAY as it finds them (bench/window.sh).
#include "BenchSamples.h"
#include "UiBeat.h"
#include "board/BoardPassword.h"
#include "board/CounterBoard.h"
#include "core/Shop.h"
#include "orders/Clock.h"
#include "protocol/Prompter.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/shell/GuiApplication.h"
#include "ui/shell/WindowedShop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
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

constexpr int kOrders = 20;
constexpr int kPictures = 10;
constexpr int kAtATime = 4;

QString netsim() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("../tools/netsim/quillon-netsim");
}

// The simulated central service with shop 1 and its demo products.
struct Service {
    QProcess process;
    int port = 0;
    QString shopId;
    Service() {
        QProcess mint;
        mint.start(netsim(), {"mint-shop-id", "1"});
        mint.waitForFinished(10000);
        shopId = QString::fromUtf8(mint.readAllStandardOutput()).trimmed();
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(netsim(), {"service", "--port", "0", "--chat-port", "0", "--print-ports",
                                 "--stop-on-eof", "--shop", "1:secret:shop@example.com", "--seed"});
        static const QRegularExpression line("^service port (\\d+)$");
        runUntil(
            [&] {
                while (process.canReadLine()) {
                    const auto m = line.match(QString::fromUtf8(process.readLine()).trimmed());
                    if (m.hasMatch())
                        port = m.captured(1).toInt();
                }
                process.waitForReadyRead(10);
                return port > 0 || process.state() == QProcess::NotRunning;
            },
            20000);
    }
    ~Service() {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000))
            process.kill();
    }
};

enum class Variant { IdleWindow, Headless, Window, WindowBoard };

constexpr int kBrowsers = 20;

// The browsers, on their own thread: each logs in, then polls as the
// board's page does.
class Browsers : public QObject {
public:
    explicit Browsers(int port) : m_base(QString("http://127.0.0.1:%1").arg(port)) {}
    std::atomic<int> loggedIn{0};
    std::atomic<int> answers{0};

    void start() {
        for (int i = 0; i < kBrowsers; ++i) {
            auto* net = new QNetworkAccessManager(this);
            QNetworkRequest login(QUrl(m_base + "/api/login"));
            login.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
            QNetworkReply* reply = net->post(login, R"({"password":"bench"})");
            connect(reply, &QNetworkReply::finished, this, [this, reply, net, i] {
                reply->deleteLater();
                ++loggedIn;
                auto* timer = new QTimer(net);
                int* tick = new int(i % 2);
                connect(timer, &QTimer::timeout, net, [this, net, tick] {
                    get(net, "/api/version");
                    if (++*tick % 2 == 0)
                        get(net, "/api/orders?limit=50");
                });
                connect(timer, &QObject::destroyed, [tick] { delete tick; });
                // Spread over the second, as browsers opened at different times are.
                QTimer::singleShot(50 * i, timer, [timer] { timer->start(1000); });
            });
        }
    }

private:
    void get(QNetworkAccessManager* net, const char* path) {
        QNetworkReply* reply = net->get(QNetworkRequest(QUrl(m_base + path)));
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            if (reply->error() == QNetworkReply::NoError)
                ++answers;
            reply->deleteLater();
        });
    }
    QString m_base;
};

// One run: a fresh shop on-line, with or without its window, receiving the
// orders (or idle for `idleSeconds`).
Lateness runOnce(Variant variant, const Service& service, const QString& pictures,
                 double idleSeconds) {
    QTemporaryDir dir;
    for (const char* folder : {"Db", "SystemLog", "OrderLog", "plugin", "History", "Orders"})
        QDir(dir.path()).mkdir(folder);
    Settings settings;
    settings.status = 2;
    settings.shopid = service.shopId.toStdString();
    settings.rootpath = dir.filePath("Orders").toStdString();
    settings.hostaddress = "127.0.0.1";
    settings.centralServicePort = service.port;
    ShopConfig config;
    config.workingDirectory = dir.path().toStdString();
    config.server1Port = 0;
    config.server2Port = 0;
    config.listenAddress = "127.0.0.1";
    config.acceptWaitMs = 200;
    SystemClock clock;
    SilentPrompter prompter;
    Shop shop(config, settings, nullptr, clock, prompter);

    int stored = 0;
    QObject::connect(&shop.intake(), &OrderIntake::orderReceived, [&stored] { ++stored; });
    std::unique_ptr<WindowedShop> windowed;
    if (variant == Variant::Headless) {
        shop.initialise();
    } else {
        WindowOptions options;
        options.splash = false;
        windowed = std::make_unique<WindowedShop>(shop, prompter, options);
        windowed->start();
    }
    runUntil([&] { return shop.isReady() && (!windowed || windowed->window().isVisible()); },
             30000);
    shop.goOnline();

    // The board with its browsers, all logged in before the beat starts.
    std::unique_ptr<CounterBoard> board;
    QThread crowdThread;
    Browsers* crowd = nullptr; // lives on crowdThread
    if (variant == Variant::WindowBoard) {
        board = std::make_unique<CounterBoard>(shop.orderBook(), clock, &shop.statuses().store());
        int port = 0;
        QObject::connect(board.get(), &CounterBoard::started, [&port](int p) { port = p; });
        BoardConfig boardConfig;
        boardConfig.address = "127.0.0.1";
        boardConfig.port = 0;
        boardConfig.passwordHash = hashBoardPassword("bench");
        board->start(boardConfig);
        runUntil([&] { return port > 0; }, 10000);
        crowd = new Browsers(port);
        crowd->moveToThread(&crowdThread);
        QObject::connect(&crowdThread, &QThread::finished, crowd, &QObject::deleteLater);
        crowdThread.start();
        QMetaObject::invokeMethod(crowd, [crowd] { crowd->start(); });
        runUntil([&] { return crowd->loggedIn == kBrowsers; }, 60000);
    }

    Beat beat;
    // The senders are started before the beat: starting a process holds
    // the starting thread up for a moment.
    QProcess senders;
    if (variant != Variant::IdleWindow) {
        const QString send =
            QString("%1 send-order --shop-number 1 --pictures '%2' --items 101:1,109:2 "
                    "--port %3 --register-port %4 --email buyer{}@example.com >/dev/null")
                .arg(netsim(), pictures)
                .arg(shop.servers().server1Port())
                .arg(shop.servers().server2Port());
        senders.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        senders.start("sh", {"-c", QString("seq %1 | xargs -P %2 -I{} sh -c \"%3\"")
                                       .arg(kOrders)
                                       .arg(kAtATime)
                                       .arg(send)});
        senders.waitForStarted();
    }
    beat.start();
    if (variant == Variant::IdleWindow) {
        QElapsedTimer idle;
        idle.start();
        runUntil([&] { return idle.elapsed() > idleSeconds * 1000; },
                 int(idleSeconds * 1000) + 1000);
    } else {
        // The last orders are stored a moment after their sender has ended.
        runUntil([&] { return senders.state() == QProcess::NotRunning; }, 15 * 60 * 1000);
        runUntil([&] { return stored == kOrders; }, 60 * 1000);
    }
    const Lateness l = beat.stop();
    if (crowd) {
        std::printf("    %d answers to the browsers\n", crowd->answers.load());
        crowdThread.quit();
        crowdThread.wait();
        board.reset();
    }
    if (variant != Variant::IdleWindow && stored != kOrders)
        std::fprintf(stderr, "%d of %d orders stored\n", stored, kOrders);

    bool closed = false;
    QObject::connect(&shop, &Shop::closeRequested, [&closed] { closed = true; });
    shop.exit();
    runUntil([&] { return closed; }, 30000);
    return l;
}

} // namespace

int main(int argc, char** argv) {
    auto app = makeGuiApplication(argc, argv);
    const QStringList args = app->arguments();
    const int repetitions = std::max(1, args.indexOf("--repetitions") > 0
                                            ? args.value(args.indexOf("--repetitions") + 1).toInt()
                                            : 3);

    QTemporaryDir pictures;
    std::printf("writing %d pictures of 12 megapixels...\n", kPictures);
    std::fflush(stdout);
    qint64 bytes = 0;
    for (int i = 0; i < kPictures; ++i) {
        const QString name = pictures.filePath(QString("IMG_%1.jpg").arg(1000 + i));
        bench::photoLike(4000, 3000, uint32_t(i + 1), 8 + i % 5 * 3).save(name, "JPEG", 90);
        bytes += QFileInfo(name).size();
    }
    Service service;
    if (service.port == 0 || service.shopId.isEmpty()) {
        std::fprintf(stderr, "the simulated central service did not start\n");
        return 1;
    }
    std::printf("%d orders of %d pictures (%.1f MB per order), %d at a time; platform %s; "
                "%d repetitions\n",
                kOrders, kPictures, double(bytes) / 1e6, kAtATime,
                qPrintable(QGuiApplication::platformName()), repetitions);
    std::fflush(stdout);

    std::map<Variant, std::vector<Lateness>> runs;
    for (int r = 0; r < repetitions; ++r) {
        for (Variant v : {Variant::Headless, Variant::Window, Variant::WindowBoard}) {
            runs[v].push_back(runOnce(v, service, pictures.path(), 0));
            std::printf("  run %d %-8s worst %6.1f ms in %.0f s\n", r + 1,
                        v == Variant::Window        ? "window"
                        : v == Variant::WindowBoard ? "board"
                                                    : "headless",
                        runs[v].back().worst, runs[v].back().seconds);
            std::fflush(stdout);
        }
        runs[Variant::IdleWindow].push_back(
            runOnce(Variant::IdleWindow, service, {}, runs[Variant::Window].back().seconds));
    }

    auto medianOf = [&](Variant v, double Lateness::*field) {
        std::vector<double> values;
        for (const Lateness& l : runs[v])
            values.push_back(l.*field);
        return bench::median(values);
    };
    std::printf("\nUI thread lateness of a %d-ms timer, medians of %d runs (ms):\n", kBeatMs,
                repetitions);
    const double headless = medianOf(Variant::Headless, &Lateness::worst);
    for (auto [v, name] : {std::pair{Variant::IdleWindow, "window, idle (anchor)"},
                           std::pair{Variant::Headless, "no window, receiving (anchor)"},
                           std::pair{Variant::Window, "window, receiving"},
                           std::pair{Variant::WindowBoard, "window, receiving, board polled"}})
        std::printf("  %-30s worst %6.1f  p99 %5.1f  worst / no window %5.2f  (%.0f s)\n", name,
                    medianOf(v, &Lateness::worst), medianOf(v, &Lateness::p99),
                    medianOf(v, &Lateness::worst) / headless, medianOf(v, &Lateness::seconds));
    return 0;
}
