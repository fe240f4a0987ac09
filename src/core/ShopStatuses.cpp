#include "core/ShopStatuses.h"

#include "core/RequestRunner.h"
#include "core/ShopConfig.h"
#include "core/StatusLines.h"
#include "core/WorkingFolders.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/OrderBook.h"
#include "orders/Settings.h"
#include "protocol/Prompter.h"
#include "status/OrderLookup.h"
#include "status/ReadyMail.h"

#include <QTimer>
#include <ctime>
#include <optional>

namespace quillon {

namespace {

std::string databasePath(const ShopConfig& config) {
    return joinPath(joinPath(config.workingDirectory, kDbFolder), "status.sqlite");
}

// Seconds since 1970 at today's local midnight.
int64_t startOfToday(const Clock& clock) {
    std::tm day = clock.localNow();
    day.tm_hour = day.tm_min = day.tm_sec = 0;
    day.tm_isdst = -1;
    return int64_t(std::mktime(&day));
}

struct ReadyOrder {
    std::string customer;
    ReadyMailFields fields;
};

std::optional<ReadyOrder> readyOrder(const OrderBook& book, const OrderKey& key) {
    return book.withOrders([&key](const OrderBook::Orders& orders) -> std::optional<ReadyOrder> {
        const int at = indexOfOrder(orders, key);
        if (at < 0)
            return std::nullopt;
        const OrderEntry& o = *orders[size_t(at)];
        return ReadyOrder{o.customer, {o.orderNumber, {}, o.itemCount, o.amount}};
    });
}

} // namespace

ShopStatuses::ShopStatuses(StatusParts parts, QObject* parent)
    : QObject(parent), m_parts(parts), m_station(parts.config.headless ? "headless" : "window"),
      m_store(databasePath(parts.config), parts.clock) {
    connect(&m_store, &StatusStore::opened, this, &ShopStatuses::opened);
    connect(&m_store, &StatusStore::changesCommitted, this,
            [this](quint64, const std::vector<StatusChange>& changes) { committed(changes); });
    connect(&m_store, &StatusStore::changeFailed, this, [this](quint64, const QString& error) {
        m_parts.status.reportInStatusLineAndMessage("An order status could not be saved (" +
                                                    error.toStdString() + "); it is unchanged.");
    });
}

ShopStatuses::~ShopStatuses() = default;

void ShopStatuses::open() {
    m_store.open();
}

void ShopStatuses::startUpDone() {
    m_startUpDone = true;
    if (m_earlierOrdersOpen)
        QTimer::singleShot(0, this, &ShopStatuses::askAboutEarlierOrders);
}

void ShopStatuses::opened(const StatusOpening& opening) {
    using State = StatusOpening::State;
    StatusLines& status = m_parts.status;
    if (opening.state == State::Failed) {
        status.reportInStatusLineAndMessage("The order status database could not be opened (" +
                                            opening.error +
                                            "); order statuses cannot be changed in this run.");
        return;
    }
    if (!opening.damagedCopy.empty()) {
        status.reportInStatusLineAndMessage(
            "The order status database was damaged. It was kept as " + opening.damagedCopy +
            " (with its -wal and -shm files) and a new one was started.");
    } else if (opening.state == State::Created) {
        status.add("The order status database was created.");
    }
    // The orders before a new database are settled once start-up is over.
    if (opening.state == State::Created) {
        m_earlierOrdersOpen = true;
        if (m_startUpDone)
            QTimer::singleShot(0, this, &ShopStatuses::askAboutEarlierOrders);
    }
}

// A shop that starts with years of orders does not want them all New.
void ShopStatuses::askAboutEarlierOrders() {
    if (!std::exchange(m_earlierOrdersOpen, false))
        return;
    const int64_t today = startOfToday(m_parts.clock);
    std::vector<OrderKey> earlier = m_parts.book.withOrders([today](const auto& orders) {
        std::vector<OrderKey> keys;
        for (const auto& order : orders)
            if (int64_t(order->received) < today)
                keys.push_back(keyOf(*order));
        return keys;
    });
    if (earlier.empty())
        return;
    const std::string count = std::to_string(earlier.size());
    const std::string orders = earlier.size() == 1 ? "order" : "orders";
    if (m_parts.config.headless) {
        m_parts.status.add("The " + count + " " + orders +
                           " received before today count as picked up.");
    } else if (!m_parts.prompter.askYesNo(
                   "The order statuses are new. Should the " + count + " " + orders +
                   " received before today count as \"Picked up\"?\n\nNo: they stay \"New\".")) {
        return;
    }
    setStatus(std::move(earlier), OrderStatus::PickedUp);
}

uint64_t ShopStatuses::setStatus(std::vector<OrderKey> orders, OrderStatus status) {
    return m_store.requestChange(std::move(orders), status, m_station);
}

void ShopStatuses::forget(const std::shared_ptr<const std::vector<OrderKey>>& purged) {
    if (purged && !purged->empty())
        m_store.forget(purged);
}

void ShopStatuses::committed(const std::vector<StatusChange>& changes) {
    if (!m_parts.settings.readymail)
        return;
    for (const StatusChange& change : changes)
        if (change.status == OrderStatus::Ready)
            tellCustomer(change.order);
}

void ShopStatuses::tellCustomerAgain(const OrderKey& order) {
    tellCustomer(order);
}

void ShopStatuses::tellCustomer(const OrderKey& key) {
    std::optional<ReadyOrder> order = readyOrder(m_parts.book, key);
    if (!order)
        return;
    const std::string& number = key.orderNumber;
    if (order->customer.empty()) {
        m_parts.status.add("Order " + number +
                           " is ready for pick-up; no e-mail was sent: the order has no "
                           "customer address.");
        m_store.recordTold(key, CustomerTold::NotTold, "no customer address");
        return;
    }
    const Settings& s = m_parts.settings;
    order->fields.shopName = s.shopname;
    auto send = [sender = s.sender, smtp = s.smtp, subject = s.readysubject, body = s.readybody,
                 to = order->customer, fields = order->fields,
                 errors = m_parts.config.workingDirectory](Prompter&) {
        return sendReadyMail(sender, to, smtp, subject, body, fields, errors);
    };
    m_parts.requests.run<int>(
        "", send, [this, key, to = order->customer](RequestOutcome<int> sent) {
            const std::string& number = key.orderNumber;
            if (sent.value == 1) {
                m_parts.status.add("Order " + number + ": " + to +
                                   " was told by e-mail that it is ready for pick-up.");
                m_store.recordTold(key, CustomerTold::Told, to);
            } else {
                m_parts.status.add("Order " + number + ": the ready for pick-up e-mail to " + to +
                                   " could not be sent (see emailerrors.xml).");
                m_store.recordTold(key, CustomerTold::NotTold, "the e-mail could not be sent");
            }
        });
}

} // namespace quillon
