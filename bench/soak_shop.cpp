// The shop with its window, as `quillon` runs it, for the soak benchmark
// (bench/soak.sh), with what the benchmark measures:
//
//   bench_soak_shop [--online] [--profile FILE] [--listen ADDRESS]
//                   [--server1-port P] [--server2-port P] [--service-port P]
//                   [--board-port P] [--lateness-log FILE]
//                   [--account-rounds SECONDS] [--clock-offset SECONDS]
//
// --lateness-log writes the user-interface thread's lateness tick by tick;
// --account-rounds logs in at the central service, fetches the history and
// logs out every SECONDS, with the password in QUILLON_BENCH_PASSWORD, and
// prints a line per round; --clock-offset moves the shop's clock, so that its
// midnight comes when the benchmark wants it. No splash; message boxes are
// answered within a second.
#include "LatenessLog.h"
#include "board/ShopBoard.h"
#include "core/CommandLineOptions.h"
#include "core/HistoryFields.h"
#include "core/SettingsStore.h"
#include "core/Shop.h"
#include "core/ShutdownSignals.h"
#include "orders/Clock.h"
#include "ui/shell/GuiApplication.h"
#include "ui/shell/WindowedRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <csignal>
#include <cstdio>

using namespace quillon;

namespace {

void printLine(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

// The computer's clock, moved by a number of seconds.
class MovedClock : public Clock {
public:
    explicit MovedClock(int64_t offset) : m_offset(offset) {}
    int64_t now() const override { return int64_t(std::time(nullptr)) + m_offset; }

private:
    const int64_t m_offset;
};

// Every period the shop logs in at the central service, fetches the
// transaction history from its first year to today and logs out, as an
// operator looking at the history does, and prints a line per round, e.g.
// "Account round 3: login 1, history 12 rows, logout 1". A round that finds
// the session busy waits for the next one.
// The operator at the counter: a message box (the service's messages at a
// login, say) is answered within a second, as a person would, instead of
// staying open for the rest of the run.
class Operator : public QObject {
public:
    explicit Operator(QObject* parent) : QObject(parent) {
        connect(&m_timer, &QTimer::timeout, this, [] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                box->accept();
        });
        m_timer.start(1000);
    }

private:
    QTimer m_timer;
};

class AccountRounds : public QObject {
public:
    AccountRounds(Shop& shop, std::string password, int periodMs, QObject* parent)
        : QObject(parent), m_shop(shop), m_password(std::move(password)) {
        AccountSession& account = shop.account();
        connect(&account, &AccountSession::commandFinished, this,
                [this](AccountCommand command, int result) { finished(command, result); });
        connect(&account, &AccountSession::historyFetched, this,
                [this](const std::vector<HistoryRecord>& rows) {
                    if (!m_running)
                        return;
                    m_rows = int(rows.size());
                    endWithLogout();
                });
        connect(&m_timer, &QTimer::timeout, this, &AccountRounds::begin);
        m_timer.start(periodMs);
    }

private:
    void begin() {
        if (m_running)
            return;
        ++m_round;
        m_rows = -1;
        m_running = m_shop.account().login(m_shop.settings().shopid, m_password);
        if (!m_running)
            printLine(QString("Account round %1: the session is busy or logged in").arg(m_round));
    }

    void finished(AccountCommand command, int result) {
        if (!m_running)
            return;
        if (command == AccountCommand::Login) {
            if (result != 1) {
                m_running = false;
                printLine(QString("Account round %1: login %2").arg(m_round).arg(result));
                return;
            }
            const std::tm today = m_shop.clock().localNow();
            if (!m_shop.account().fetchHistory(
                    historyDate(kFirstHistoryYear, 1, 1),
                    historyDate(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday)))
                endWithLogout();
        } else if (command == AccountCommand::Logout) {
            m_running = false;
            printLine(QString("Account round %1: login 1, history %2 rows, logout %3")
                          .arg(m_round)
                          .arg(m_rows)
                          .arg(result));
        }
    }

    // The history is in (or could not be asked for): the round ends.
    void endWithLogout() {
        if (m_shop.account().logout())
            return;
        m_running = false;
        printLine(QString("Account round %1: login 1, history %2 rows, no logout")
                      .arg(m_round)
                      .arg(m_rows));
    }

    Shop& m_shop;
    std::string m_password;
    QTimer m_timer;
    int m_round = 0;
    int m_rows = -1;
    bool m_running = false;
};

void parseOptions(QCommandLineParser& parser, const QCoreApplication& app) {
    parser.setApplicationDescription("The shop with its window, measured for the soak benchmark.");
    parser.addHelpOption();
    parser.addOptions({
        {"online", "Put the system on-line after start-up."},
        {"profile", "Use the INI file <file> as the profile instead of the user's.", "file"},
        {"listen", "Listen only on <address>.", "address"},
        {"server1-port", "Order data server port.", "port"},
        {"server2-port", "Registration server port.", "port"},
        {"service-port", "Central service port.", "port"},
        {"board-port", "Counter board port, instead of the profile's boardport.", "port"},
        {"lateness-log", "Write the user-interface thread's lateness into <file>.", "file"},
        {"account-rounds",
         "Log in, fetch the history and log out every <seconds> (the password in "
         "QUILLON_BENCH_PASSWORD).",
         "seconds"},
        {"clock-offset", "Move the shop's clock by <seconds>.", "seconds"},
    });
    parser.process(app);
}

// The options' values into `options`; false with `error` on a bad number.
bool readOptions(const QCommandLineParser& parser, ShopRunOptions& options, int64_t& clockOffset,
                 int& roundSeconds, QString& error) {
    options.shop.listenAddress = parser.value("listen").toStdString();
    const std::pair<const char*, std::function<void(int)>> ports[] = {
        {"server1-port", [&](int p) { options.shop.server1Port = p; }},
        {"server2-port", [&](int p) { options.shop.server2Port = p; }},
        {"service-port", [&](int p) { options.servicePort = p; }},
        {"board-port", [&](int p) { options.boardPort = p; }},
    };
    for (const auto& [name, set] : ports) {
        if (!parser.isSet(name))
            continue;
        const std::optional<long long> value = intOption(parser, name, 0, 65535, error);
        if (!value)
            return false;
        set(int(*value));
    }
    if (parser.isSet("clock-offset")) {
        const std::optional<long long> value =
            intOption(parser, "clock-offset", -100LL * 365 * 86400, 100LL * 365 * 86400, error);
        if (!value)
            return false;
        clockOffset = *value;
    }
    if (parser.isSet("account-rounds")) {
        const std::optional<long long> value = intOption(parser, "account-rounds", 1, 86400, error);
        if (!value)
            return false;
        roundSeconds = int(*value);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<QCoreApplication> app = makeGuiApplication(argc, argv);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Tarvex");

    QCommandLineParser parser;
    parseOptions(parser, *app);

    WindowedRunOptions options;
    int64_t clockOffset = 0;
    int roundSeconds = 0;
    QString error;
    if (!readOptions(parser, options.run, clockOffset, roundSeconds, error)) {
        std::fprintf(stderr, "bench_soak_shop: %s\n", qPrintable(error));
        return 2;
    }
    const MovedClock clock(clockOffset);
    options.run.clock = &clock;
    options.online = parser.isSet("online");
    options.window.splash = false;
    options.attach = [&](WindowedShop& windowed, Prompter&) {
        Shop& shop = windowed.shop();
        exitOnShutdownSignals(shop);
        new ShopBoard(shop, options.run.boardPort, &windowed);
        if (parser.isSet("lateness-log") &&
            !(new bench::LatenessLog(parser.value("lateness-log"), &windowed))->isOpen())
            std::fprintf(stderr, "bench_soak_shop: cannot write %s\n",
                         qPrintable(parser.value("lateness-log")));
        new Operator(&windowed);
        if (roundSeconds > 0)
            new AccountRounds(shop, qEnvironmentVariable("QUILLON_BENCH_PASSWORD").toStdString(),
                              roundSeconds * 1000, &windowed);
    };
    SettingsStore store(parser.value("profile"));
    return runWindowed(store, options);
}
