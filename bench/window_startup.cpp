// Process start to Quillon's main window shown and responsive, with an
// empty order database and with one of 100,000 orders (or each size of
// --orders), against the same for a bare Qt window (bench_bare_window) in
// the same run. The splash is left out (--no-splash); the window shows
// without waiting for the orders' load. Runs are interleaved, so a busy
// moment of the machine hits them all.
//
//   bench_window_startup [--runs N] [--orders N[,N...]]
//
// Uses QT_QPA_PLATFORM and DISPLAY as it finds them (bench/window.sh sets
// them up); the central service's port is a closed one, as on a shop whose
// network is down, and no start-up information is fetched.
#include "BenchSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port of 127.0.0.1 on which nothing listens.
int closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// A shop's working folder with its data folders and a set-up profile.
struct ShopFolder {
    QTemporaryDir dir;
    explicit ShopFolder(int orders) {
        for (const char* folder : {"Db", "SystemLog", "OrderLog", "plugin", "History", "Orders"})
            QDir(dir.path()).mkdir(folder);
        QSettings p(profile(), QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("shopid", "0000");
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", dir.filePath("Orders"));
        p.sync();
        if (orders > 0) {
            std::vector<int> numbers(size_t(orders), 0);
            for (int i = 0; i < orders; ++i)
                numbers[size_t(i)] = i;
            bench::writeSampleDatabase(dir.filePath("Db/OE.DB"), numbers);
        }
    }
    QString profile() const { return dir.filePath("profile.ini"); }
    // The logs of the run before go, so every run writes the same.
    void clearLogs() const {
        for (const char* folder : {"SystemLog", "OrderLog"}) {
            QDir d(dir.filePath(folder));
            for (const QString& f : d.entryList(QDir::Files))
                d.remove(f);
        }
    }
};

// Milliseconds from starting `program` to its line "Main window shown.";
// -1 when it did not come within 60 s. A shop is then asked to shut down.
double timeToWindow(const QString& program, const QStringList& args, const QString& folder) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_STARTUP_FTP", "");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    double ms = -1;
    QByteArray out;
    while (clock.elapsed() < 60000 && p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(5);
        out += p.readAllStandardOutput();
        if (out.contains("Main window shown.")) {
            ms = double(clock.nsecsElapsed()) / 1e6;
            break;
        }
    }
    if (p.state() != QProcess::NotRunning) {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(60000))
            p.kill();
    }
    p.waitForFinished(5000);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = std::max(
        1, args.indexOf("--runs") > 0 ? args.value(args.indexOf("--runs") + 1).toInt() : 9);
    const QString binDir = QCoreApplication::applicationDirPath();
    const QString quillon = QDir(binDir).filePath("../src/app/quillon");
    const QString anchor = QDir(binDir).filePath("bench_bare_window");

    std::vector<int> sizes;
    if (args.indexOf("--orders") > 0)
        for (const QString& n : args.value(args.indexOf("--orders") + 1).split(','))
            sizes.push_back(n.toInt());
    if (sizes.empty())
        sizes.push_back(100'000);
    std::printf("preparing the order databases...\n");
    std::fflush(stdout);
    ShopFolder empty(0);
    std::vector<std::unique_ptr<ShopFolder>> full;
    std::vector<std::string> names{"bare Qt window", "quillon, empty OE.DB"};
    for (const int orders : sizes) {
        full.push_back(std::make_unique<ShopFolder>(orders));
        names.push_back("quillon, " + QLocale(QLocale::English).toString(orders).toStdString() +
                        " orders");
        std::printf("OE.DB of %d orders: %.1f MB\n", orders,
                    double(QFileInfo(full.back()->dir.filePath("Db/OE.DB")).size()) / 1e6);
    }
    std::printf("platform %s; %d runs each\n",
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", "(default)")), runs);

    auto shopArgs = [](const ShopFolder& f) {
        return QStringList{
            "--profile",      f.profile(), "--no-splash",    "--report-shown",
            "--listen",       "127.0.0.1", "--server1-port", "0",
            "--server2-port", "0",         "--service-port", QString::number(closedPort())};
    };
    std::map<std::string, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        times["bare Qt window"].push_back(timeToWindow(anchor, {}, empty.dir.path()));
        empty.clearLogs();
        times["quillon, empty OE.DB"].push_back(
            timeToWindow(quillon, shopArgs(empty), empty.dir.path()));
        for (size_t i = 0; i < full.size(); ++i) {
            full[i]->clearLogs();
            times[names[i + 2]].push_back(
                timeToWindow(quillon, shopArgs(*full[i]), full[i]->dir.path()));
        }
    }

    const double base = bench::median(times["bare Qt window"]);
    std::printf("\nprocess start to main window shown and responsive (ms):\n");
    for (const std::string& name : names) {
        const auto& t = times[name];
        const bool failed = std::find(t.begin(), t.end(), -1.0) != t.end();
        std::printf("  %-28s median %7.1f  min %7.1f  max %7.1f  ratio %5.2f%s\n", name.c_str(),
                    bench::median(t), *std::min_element(t.begin(), t.end()),
                    *std::max_element(t.begin(), t.end()), bench::median(t) / base,
                    failed ? "  (some runs failed)" : "");
    }
    return 0;
}
