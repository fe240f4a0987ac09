#include "ServiceCommand.h"

#include "ChatDesk.h"
#include "CommandLine.h"
#include "ConnectionPool.h"
#include "EventLog.h"
#include "FaultRules.h"
#include "ServiceListener.h"
#include "ServiceRequest.h"
#include "ServiceState.h"

#include <QCommandLineParser>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace quillon {

namespace {

// Set by SIGINT, SIGTERM or the end of standard input.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onStopSignal(int) {
    g_stopRequested = true;
}

constexpr char kCommand[] = "service";

const char* extraHelp() {
    return R"TXT(The service answers the shop's central-service requests on --port (shop
setup and confirmation, login and logout, password change, shop information
update and fetch, product list update and fetch, order check, order number
report, payment status, transaction history) and the live chat on
--chat-port. With port 0 a free port is chosen; the chosen ports are printed
first on standard output as "service port N" and "chat port N". Every
request is logged on standard error as one line. SIGINT or SIGTERM stops it.

Orders: an order check accepts any references (result 1, three shipping
texts) unless a --refuse reference, the state file or a fault rule says
otherwise. The payment status answers code 1 "Paid" "PayPal" by default.

)TXT";
}

struct ShopOption {
    int number = 0;
    std::string password;
    std::string email;
};

// NUMBER:PASSWORD:EMAIL; the password may itself hold colons.
std::optional<ShopOption> parseShop(const QString& text) {
    qsizetype first = text.indexOf(':'), last = text.lastIndexOf(':');
    if (first <= 0 || last == first)
        return std::nullopt;
    bool ok = false;
    int number = text.left(first).toInt(&ok);
    if (!ok || number < 1 || number > 999999)
        return std::nullopt;
    return ShopOption{number, text.mid(first + 1, last - first - 1).toLatin1().toStdString(),
                      text.mid(last + 1).toLatin1().toStdString()};
}

void watchStandardInput() {
    // Plain reads, not stdio: a thread parked in stdio would hold its lock
    // while the process exits.
    std::thread([] {
        char buffer[256];
        while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
        }
        g_stopRequested = true;
    }).detach();
}

} // namespace

int runServiceCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs the simulated Velorin central service and chat service.");
    parser.addOptions({
        {"host", "Address to listen on (default 127.0.0.1).", "ADDRESS", "127.0.0.1"},
        {"port", "Central service port (default 8890; 0: any free port).", "PORT", "8890"},
        {"chat-port", "Chat port (default 8891; 0: any free port).", "PORT", "8891"},
        {"state",
         "JSON file that keeps the state between runs; loaded at start, "
         "rewritten on every change.",
         "FILE"},
        {"shop",
         "A confirmed shop with this number, password and e-mail (repeatable). Its "
         "SHOP ID is what mint-shop-id NUMBER prints.",
         "NUMBER:PASSWORD:EMAIL"},
        {"seed",
         "Gives every shop, also one set up later, a demo product list and some history rows."},
        {"refuse", "Order reference that the order check refuses (repeatable).", "REFERENCE"},
        {"token-idle",
         "Seconds without a request after which a login session expires "
         "(default 1800; 0: never).",
         "SECONDS", "1800"},
        {"faults", "Control file with fault rules, read before each request.", "FILE"},
        {"fault", "A fault rule KIND:ACTION[=VALUE][:COUNT] (repeatable).", "RULE"},
        {"max-connections", "Connections served at once; more are refused (default 64).", "N",
         "64"},
        {"print-ports", "Prints the listening ports even when they were given."},
        {"stop-on-eof", "Stops when standard input ends (for test harnesses)."},
    });
    if (auto done = parseCommand(parser, kCommand, arguments, {},
                                 QString(extraHelp()) + FaultRules::formatHelp()))
        return *done;
    if (!parser.positionalArguments().isEmpty())
        return usageError(kCommand, "unexpected argument " + parser.positionalArguments().first());

    QString error;
    auto port = intOption(parser, "port", 0, 65535, error);
    auto chatPort = port ? intOption(parser, "chat-port", 0, 65535, error) : std::nullopt;
    auto tokenIdle =
        chatPort ? intOption(parser, "token-idle", 0, 365LL * 86400, error) : std::nullopt;
    auto maxConnections =
        tokenIdle ? intOption(parser, "max-connections", 1, 1024, error) : std::nullopt;
    if (!maxConnections)
        return usageError(kCommand, error);
    std::vector<ShopOption> shops;
    for (const QString& s : parser.values("shop")) {
        auto shop = parseShop(s);
        if (!shop)
            return usageError(kCommand, "--shop \"" + s + "\" is not NUMBER:PASSWORD:EMAIL");
        shops.push_back(*shop);
    }
    FaultRules faults;
    for (const QString& f : parser.values("fault")) {
        auto rule = FaultRules::parseOption(f, error);
        if (!rule)
            return usageError(kCommand, "--fault: " + error);
        faults.add(*rule);
    }
    if (parser.isSet("faults"))
        faults.setControlFile(parser.value("faults"));

    EventLog log;
    ServiceState state(log, std::chrono::seconds(*tokenIdle));
    if (parser.isSet("state") && !state.open(parser.value("state"), error)) {
        std::fprintf(stderr, "%s %s: state file %s: %s\n", kProgram, kCommand,
                     parser.value("state").toLocal8Bit().constData(),
                     error.toLocal8Bit().constData());
        return kExitCannotStart;
    }
    for (const ShopOption& s : shops)
        state.addShop(s.number, s.password, s.email);
    if (parser.isSet("seed"))
        state.seedDemo();
    for (const QString& r : parser.values("refuse"))
        state.refuseReference(r.toLatin1().toStdString());

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    std::atomic<bool> stopping{false};
    ChatDesk chat;
    ServiceContext context{state, chat, faults, log, stopping};
    ConnectionPool pool{size_t(*maxConnections)};
    ServiceListener service(ServicePort::Service, pool, context);
    ServiceListener chatService(ServicePort::Chat, pool, context);
    std::string host = parser.value("host").toStdString();
    std::string listenError;
    if (!service.listen(host, int(*port), listenError) ||
        !chatService.listen(host, int(*chatPort), listenError)) {
        std::fprintf(stderr, "%s %s: %s\n", kProgram, kCommand, listenError.c_str());
        return kExitCannotStart;
    }
    if (parser.isSet("print-ports") || *port == 0 || *chatPort == 0) {
        printLine(QString("service port %1").arg(service.port()));
        printLine(QString("chat port %1").arg(chatService.port()));
    }
    for (const auto& [number, shopId] : state.shopIds())
        log.write("start", "shop " + std::to_string(number) + " has SHOP ID " + shopId);
    log.write("start", "central service on " + host + ":" + std::to_string(service.port()) +
                           ", chat on " + host + ":" + std::to_string(chatService.port()));
    if (parser.isSet("stop-on-eof"))
        watchStandardInput();

    service.start();
    chatService.start();
    while (!g_stopRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    log.write("stop", "stopping");
    stopping = true;
    service.stop();
    chatService.stop();
    pool.stopAll();
    log.write("stop", "stopped");
    return kExitOk;
}

} // namespace quillon
