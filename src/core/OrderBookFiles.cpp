#include "core/OrderBookFiles.h"

#include "core/Logs.h"
#include "core/RequestRunner.h"
#include "core/StatusLines.h"
#include "core/ThreadPriority.h"
#include "core/WorkingFolders.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/OrderBook.h"
#include "orders/QtText.h"
#include "orders/Settings.h"

#include <utility>

namespace quillon {

namespace {

// One piece of the order book's file work at a time: a rewrite's snapshot
// must not outlive the orders a purge takes out.
constexpr char kOrderBookWork[] = "order book";

std::string ordersText(size_t count) {
    return std::to_string(count) + (count == 1 ? " order" : " orders");
}

} // namespace

OrderBookFiles::OrderBookFiles(std::string workingDirectory, const Settings& settings,
                               const Clock& clock, RequestRunner& requests, StatusLines& status,
                               QObject* parent)
    : QObject(parent), m_workingDirectory(std::move(workingDirectory)), m_settings(settings),
      m_clock(clock), m_requests(requests), m_status(status),
      m_book(
          std::make_unique<OrderBook>(joinPath(joinPath(m_workingDirectory, kDbFolder), "OE.DB"))) {
    m_book->setClock(m_clock);
    // Met on the loader's or a writer's thread, or inside an order's append.
    connect(m_book.get(), &OrderBook::databaseDamaged, this, &OrderBookFiles::databaseDamaged,
            Qt::QueuedConnection);
}

OrderBookFiles::~OrderBookFiles() = default;

void OrderBookFiles::load(std::function<void()> readHook) {
    OrderBook* book = m_book.get();
    m_loading = true;
    m_book->beginLoad();
    m_status.add("Reading the order database.");
    m_requests.run<OrderBook::Orders>(
        "load",
        [book, readHook](Prompter&) {
            OrderBook::Orders loaded;
            book->readDatabase(loaded);
            if (readHook)
                readHook();
            return loaded;
        },
        [this](RequestOutcome<OrderBook::Orders> read) {
            const size_t count = read.value.size();
            m_book->fileLoaded(std::move(read.value));
            m_loading = false;
            m_status.add("Order database read: " + ordersText(count) + ".");
            emit loaded();
            if (m_purgeWaiting)
                purge(*std::exchange(m_purgeWaiting, std::nullopt));
        });
}

void OrderBookFiles::store(std::unique_ptr<OrderEntry> order) {
    const std::string number = order->orderNumber;
    // A database that failed before is written whole at this next chance.
    const bool owed = m_book->saveOwed();
    if (!m_book->add(std::move(order))) {
        m_failing = true;
        m_status.add("Order " + number +
                     " could not be stored in the order database; it stays listed and is "
                     "stored with the next order, purge or exit.");
    }
    if (owed)
        save();
}

void OrderBookFiles::purge(bool rewrite) {
    if (m_exiting)
        return;
    if (m_busy || m_loading) {
        m_purgeWaiting = rewrite || m_purgeWaiting.value_or(false);
        return;
    }
    std::optional<OrderBook::PurgeWork> work = m_book->takePurge(
        purgeAgeDays(m_settings.purge), m_clock.now(), rewrite || m_book->saveOwed());
    if (!work)
        return;
    m_busy = true;
    auto shared = std::make_shared<OrderBook::PurgeWork>(std::move(*work));
    OrderBook* book = m_book.get();
    m_requests.run<OrderBook::PurgeDone>(
        kOrderBookWork,
        [this, book, shared, workingDirectory = m_workingDirectory](Prompter&) {
            lowerThisThreadsPriority();
            // The orders' keys are made here: at a large purge that would
            // hold up the window.
            if (!shared->purged.empty()) {
                auto keys = std::make_shared<std::vector<OrderKey>>();
                keys->reserve(shared->purged.size());
                for (const auto& order : shared->purged)
                    keys->push_back(keyOf(*order));
                emit purging(std::move(keys));
            }
            const std::string log =
                shared->purged.empty() ? std::string() : nextOrderLogFileName(workingDirectory);
            return book->finishPurge(std::move(*shared), log);
        },
        [this](RequestOutcome<OrderBook::PurgeDone> outcome) {
            emit purged();
            written(outcome.value.saved);
        });
}

bool OrderBookFiles::saveOwedOrders() {
    if (!m_book->saveOwed() || std::exchange(m_exitSaveTried, true))
        return false;
    save();
    return true;
}

void OrderBookFiles::save() {
    // A purge that runs rewrites the database already when it owes orders;
    // during the load the book holds only part of it.
    if (m_busy || m_loading)
        return;
    m_busy = true;
    OrderBook* book = m_book.get();
    m_requests.run<bool>(
        kOrderBookWork,
        [book](Prompter&) {
            lowerThisThreadsPriority();
            return book->save();
        },
        [this](RequestOutcome<bool> outcome) { written(outcome.value); });
}

void OrderBookFiles::written(std::optional<bool> saved) {
    m_busy = false;
    if (saved) {
        const size_t unstored = m_book->unstoredOrders();
        if (!m_book->saveOwed()) {
            if (std::exchange(m_failing, false))
                m_status.add("The order database was written anew; every listed order is "
                             "stored in it.");
        } else if (m_exiting) {
            m_status.add(unstored == 0
                             ? "The order database could not be written."
                             : "The order database could not be written: " + ordersText(unstored) +
                                   " received in this run will be missing from "
                                   "the list at the next start.");
        } else {
            m_failing = true;
            m_status.add("The order database could not be written" +
                         (unstored == 0 ? std::string()
                                        : " (" + ordersText(unstored) + " not stored in it)") +
                         "; it is written again with the next order, purge or exit.");
        }
    }
    if (m_purgeWaiting)
        purge(*std::exchange(m_purgeWaiting, std::nullopt));
}

void OrderBookFiles::databaseDamaged(int recordsRead, const QString& copyName) {
    const std::string read = "The order database is damaged: " + ordersText(size_t(recordsRead)) +
                             (recordsRead == 1 ? " was" : " were") + " read";
    const std::string text =
        copyName.isEmpty()
            ? read + ", and no copy of the file could be made, so nothing is written into it; "
                     "new orders stay listed until a copy can be made."
            : read + "; the whole file was kept next to it as " + fromQString(copyName) + ".";
    m_status.reportInStatusLineAndMessage(text);
}

} // namespace quillon
