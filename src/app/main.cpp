// Quillon's entry point: start-up, the shop (headless for now), shut-down.
#include "core/Application.h"
#include "core/Prompters.h"
#include "core/SettingsStore.h"
#include "core/Shop.h"
#include "orders/Clock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace quillon;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &c, 1);
}

// SIGINT and SIGTERM take the Exit path inside the event loop.
void installSignalHandlers(Shop& shop) {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &shop);
    QObject::connect(notifier, &QSocketNotifier::activated, &shop, [&shop] {
        char buf[16];
        while (::read(g_signalPipe[0], buf, sizeof buf) > 0) {
        }
        shop.exit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// One line to standard output. Whoever reads it may have gone away (a closed
// terminal, a pipe whose reader ended): the line is lost, the shop serves on.
void printLine(const QString& line) {
    QByteArray bytes = line.toLocal8Bit() + '\n';
    for (qsizetype done = 0; done < bytes.size();) {
        ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

// As the status lines stamp their time.
QString receivedAt(qint64 secondsSince1970) {
    return QDateTime::fromSecsSinceEpoch(secondsSince1970).toString("yy.MM.dd hh:mm");
}

int intOption(const QCommandLineParser& p, const char* name, int fallback) {
    bool ok = false;
    int v = p.value(name).toInt(&ok);
    return p.isSet(name) && ok ? v : fallback;
}

} // namespace

int main(int argc, char** argv) {
    // A write to a reader that has gone must fail, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Tarvex");
    QCoreApplication::setApplicationVersion(QUILLON_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Quillon, the shop-side application of the Velorin Photo Network.\n"
        "Receives the network's orders on two order servers, stores them in order folders,\n"
        "and keeps the order list, the order database and the logs in the working directory.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"headless", "Run without a window; status lines go to standard output."},
        {"online", "Put the system on-line after start-up."},
        {"profile", "Use the INI file <file> as the profile instead of the user's.", "file"},
        {"listen", "Listen only on <address> (tests and demos).", "address"},
        {"server1-port", "Order data server port (default 5553).", "port"},
        {"server2-port", "Registration server port (default 5552).", "port"},
        {"service-port", "Central service port (default 8890).", "port"},
    });
    parser.process(app);

    if (!parser.isSet("headless"))
        std::fprintf(stderr, "Quillon: this build has no window yet; running headless.\n");

    SettingsStore store(parser.value("profile"));
    HeadlessPrompter prompter;
    Application application(store, prompter);
    if (!application.startUp(nullptr))
        return application.exitCode();
    Settings& settings = application.settings();
    settings.centralServicePort = intOption(parser, "service-port", settings.centralServicePort);

    ShopConfig config;
    config.workingDirectory = application.workingDirectory();
    config.server1Port = intOption(parser, "server1-port", config.server1Port);
    config.server2Port = intOption(parser, "server2-port", config.server2Port);
    config.listenAddress = parser.value("listen").toStdString();

    SystemClock clock;
    int result = 0;
    {
        Shop shop(config, settings, &store, clock, prompter);
        QObject::connect(&shop, &Shop::statusLineAdded, &printLine);
        QObject::connect(&shop, &Shop::orderReceived,
                         [](const QString& number, const QString& customer, const QString& total,
                            qint64 received) {
                             printLine(QString("Order %1 received: %2, total %3, at %4.")
                                           .arg(number, customer, total, receivedAt(received)));
                         });
        QObject::connect(&shop, &Shop::orderAborted,
                         [](const QString& number, const QString& reason) {
                             printLine(QString("Order %1 aborted: %2.").arg(number, reason));
                         });
        QObject::connect(&shop, &Shop::closeRequested, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        prompter.setSink([&shop](const std::string& text) { shop.addStatusLine(text); });
        installSignalHandlers(shop);

        shop.initialise();
        shop.startClock();
        if (parser.isSet("online"))
            shop.goOnline();
        result = app.exec();
        prompter.setSink({});
    }
    application.shutDown();
    return result;
}
