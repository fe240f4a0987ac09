// The shop's side of the order book's file work: the purges, the saves
// that put a failed write right, and what the operator is told of them.
#include "core/Logs.h"
#include "core/Shop.h"
#include "core/ThreadPriority.h"
#include "orders/Clock.h"
#include "orders/OrderBook.h"
#include "orders/QtText.h"

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

void Shop::purgeOrders(bool rewrite) {
    if (m_orderBookBusy) {
        m_purgeWaiting = rewrite || m_purgeWaiting.value_or(false);
        return;
    }
    std::optional<OrderBook::PurgeWork> work = m_orderBook->takePurge(
        purgeAgeDays(m_settings.purge), m_clock.now(), rewrite || m_orderBook->saveOwed());
    if (!work)
        return;
    m_orderBookBusy = true;
    auto shared = std::make_shared<OrderBook::PurgeWork>(std::move(*work));
    OrderBook* book = m_orderBook.get();
    m_requests.run<OrderBook::PurgeDone>(
        kOrderBookWork,
        [book, shared, workingDirectory = m_config.workingDirectory](Prompter&) {
            lowerThisThreadsPriority();
            const std::string log =
                shared->purged.empty() ? std::string() : nextOrderLogFileName(workingDirectory);
            return book->finishPurge(std::move(*shared), log);
        },
        [this](RequestOutcome<OrderBook::PurgeDone> outcome) {
            m_transfers.rebuild();
            orderBookWritten(outcome.value.saved);
            emit ordersPurged(outcome.value.removed);
        });
}

void Shop::saveOrderBook() {
    // A purge that runs rewrites the database already when it owes orders.
    if (m_orderBookBusy)
        return;
    m_orderBookBusy = true;
    OrderBook* book = m_orderBook.get();
    m_requests.run<bool>(
        kOrderBookWork,
        [book](Prompter&) {
            lowerThisThreadsPriority();
            return book->save();
        },
        [this](RequestOutcome<bool> outcome) { orderBookWritten(outcome.value); });
}

void Shop::orderBookWritten(std::optional<bool> saved) {
    m_orderBookBusy = false;
    if (saved) {
        const size_t unstored = m_orderBook->unstoredOrders();
        if (!m_orderBook->saveOwed()) {
            if (std::exchange(m_orderBookFailing, false))
                addStatusLine("The order database was written anew; every listed order is "
                              "stored in it.");
        } else if (m_shutdownPending) {
            addStatusLine(unstored == 0
                              ? "The order database could not be written."
                              : "The order database could not be written: " + ordersText(unstored) +
                                    " received in this run will be missing from "
                                    "the list at the next start.");
        } else {
            m_orderBookFailing = true;
            addStatusLine("The order database could not be written" +
                          (unstored == 0 ? std::string()
                                         : " (" + ordersText(unstored) + " not stored in it)") +
                          "; it is written again with the next order, purge or exit.");
        }
    }
    if (m_purgeWaiting && !m_shutdownPending)
        purgeOrders(*std::exchange(m_purgeWaiting, std::nullopt));
}

void Shop::databaseDamaged(int recordsRead, const QString& copyName) {
    const std::string read = "The order database is damaged: " + ordersText(size_t(recordsRead)) +
                             (recordsRead == 1 ? " was" : " were") + " read";
    const std::string text =
        copyName.isEmpty()
            ? read + ", and no copy of the file could be made, so nothing is written into it; "
                     "new orders stay listed until a copy can be made."
            : read + "; the whole file was kept next to it as " + fromQString(copyName) + ".";
    reportInStatusLineAndMessage(text);
}

} // namespace quillon
