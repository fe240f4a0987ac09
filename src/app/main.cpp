// Quillon's entry point: start-up, the shop with its window (or headless),
// shut-down.
#include "board/BoardPassword.h"
#include "board/ShopBoard.h"
#include "core/CommandLineOptions.h"
#include "core/Prompters.h"
#include "core/SettingsStore.h"
#include "core/ShopRun.h"
#include "core/ShutdownSignals.h"
#include "ui/shell/DisplayCheck.h"
#include "ui/shell/GuiApplication.h"
#include "ui/shell/WindowedRun.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace quillon;

namespace {

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

// A run that opens no window: --headless, or only help or the version.
bool windowless(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--headless" || a == "--help" || a == "-h" || a == "--help-all" ||
            a == "--version" || a == "-v" || a == "--set-board-password")
            return true;
    }
    return false;
}

void parseOptions(QCommandLineParser& parser, const QCoreApplication& app) {
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
        {"board-port", "Counter board port, instead of the profile's boardport.", "port"},
        {"set-board-password",
         "Read a new counter board password from standard input, keep its hash in the "
         "profile and exit."},
    });
    // For start-up measurements: no splash, and a line once the window shows.
    QCommandLineOption noSplash("no-splash");
    noSplash.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption reportShown("report-shown");
    reportShown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(noSplash);
    parser.addOption(reportShown);
    parser.process(app);
}

// What the command line sets of the run; none, with `error` saying why, when
// a number is not one the option takes.
std::optional<ShopRunOptions> runOptions(const QCommandLineParser& parser, QString& error) {
    ShopRunOptions options;
    options.shop.listenAddress = parser.value("listen").toStdString();
    // An order server on port 0 listens on a free port the system picks.
    const std::pair<const char*, int*> serverPorts[] = {
        {"server1-port", &options.shop.server1Port}, {"server2-port", &options.shop.server2Port}};
    for (const auto& [name, port] : serverPorts) {
        if (!parser.isSet(name))
            continue;
        const std::optional<long long> value = intOption(parser, name, 0, 65535, error);
        if (!value)
            return std::nullopt;
        *port = int(*value);
    }
    if (parser.isSet("board-port")) {
        const std::optional<long long> value = intOption(parser, "board-port", 0, 65535, error);
        if (!value)
            return std::nullopt;
        options.boardPort = int(*value);
    }
    if (parser.isSet("service-port")) {
        const std::optional<long long> value = intOption(parser, "service-port", 1, 65535, error);
        if (!value)
            return std::nullopt;
        options.servicePort = int(*value);
    }
    return options;
}

// --set-board-password: the first line of standard input becomes the board
// password; the profile keeps only its salted hash.
int setBoardPassword(SettingsStore& store) {
    std::string password;
    std::getline(std::cin, password);
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    if (password.empty()) {
        std::fprintf(stderr, "quillon: no password on standard input; nothing changed.\n");
        return 2;
    }
    store.writeBoardPassword(hashBoardPassword(password));
    printLine("Counter board password set.");
    return 0;
}

int runHeadless(QCoreApplication& app, const QCommandLineParser& parser, const ShopRunOptions& run,
                SettingsStore& store) {
    HeadlessPrompter prompter;
    return runShop(store, prompter, nullptr, run, [&](Shop& shop) {
        exitOnShutdownSignals(shop);
        QObject::connect(&shop.statusLines(), &StatusLines::lineAdded, &printLine);
        QObject::connect(&shop.intake(), &OrderIntake::orderReceived,
                         [](const QString& number, const QString& customer, const QString& total,
                            qint64 received) {
                             printLine(QString("Order %1 received: %2, total %3, at %4.")
                                           .arg(number, customer, total, receivedAt(received)));
                         });
        QObject::connect(&shop.intake(), &OrderIntake::orderAborted,
                         [](const QString& number, const QString& reason) {
                             printLine(QString("Order %1 aborted: %2.").arg(number, reason));
                         });
        QObject::connect(&shop, &Shop::closeRequested, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        // A message the shop also put in its status lines is not added twice.
        prompter.setSink([&status = shop.statusLines()](const std::string& text) {
            if (!status.showingStatusLineMessage())
                status.add(text);
        });
        ShopBoard board(shop, run.boardPort);
        shop.initialise();
        shop.startClock();
        if (parser.isSet("online"))
            shop.goOnline();
        const int result = app.exec();
        prompter.setSink({});
        return result;
    });
}

int runWithWindow(const QCommandLineParser& parser, const ShopRunOptions& run,
                  SettingsStore& store) {
    WindowedRunOptions options;
    options.run = run;
    options.online = parser.isSet("online");
    options.window.splash = !parser.isSet("no-splash");
    options.attach = [&parser, &run](WindowedShop& windowed, Prompter&) {
        exitOnShutdownSignals(windowed.shop());
        new ShopBoard(windowed.shop(), run.boardPort, &windowed);
        if (parser.isSet("report-shown"))
            QObject::connect(&windowed, &WindowedShop::shown,
                             [] { printLine("Main window shown."); });
    };
    return runWindowed(store, options);
}

} // namespace

int main(int argc, char** argv) {
    // A write to a reader that has gone must fail, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    const bool headless = windowless(argc, argv);
    if (!headless) {
        const QString missing = missingDisplay(QProcessEnvironment::systemEnvironment());
        if (!missing.isEmpty()) {
            std::fprintf(stderr,
                         "Quillon: %s, so no window can open; run \"quillon --headless\" to "
                         "serve without one.\n",
                         missing.toLocal8Bit().constData());
            return 1;
        }
    }
    std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv) : makeGuiApplication(argc, argv);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Tarvex");
    QCoreApplication::setApplicationVersion(QUILLON_VERSION);

    QCommandLineParser parser;
    parseOptions(parser, *app);
    QString error;
    std::optional<ShopRunOptions> run = runOptions(parser, error);
    if (!run) {
        std::fprintf(stderr, "quillon: %s\nTry 'quillon --help'.\n",
                     error.toLocal8Bit().constData());
        return 2;
    }
    run->shop.headless = headless;
    SettingsStore store(parser.value("profile"));
    if (parser.isSet("set-board-password"))
        return setBoardPassword(store);
    return headless ? runHeadless(*app, parser, *run, store) : runWithWindow(parser, *run, store);
}
