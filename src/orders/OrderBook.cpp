#include "orders/OrderBook.h"

#include "orders/FilePaths.h"
#include "orders/OrderLogWriter.h"
#include "orders/ProductIndex.h"
#include "orders/QtText.h"
#include "orders/SortedInsertion.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace quillon {

namespace {

// Links orders' product lines to one product list. The orders of a load
// share their distinct product lines, which are linked once for all.
class ItemLinker {
public:
    explicit ItemLinker(const ProductList* products) : m_index(products) {}

    void link(OrderEntry& order) {
        const LoadedPictures* loaded = order.pictures.loaded().get();
        if (loaded && (loaded == m_last || !m_linked.insert(loaded).second))
            return;
        m_last = loaded;
        for (ItemLine& item : order.pictures.lines())
            item.product = m_index.find(item.code);
    }

private:
    ProductIndex m_index;
    std::unordered_set<const LoadedPictures*> m_linked;
    const LoadedPictures* m_last = nullptr;
};

// Binary search over the orders before the last one: an equal number goes
// after the equal ones there, and one equal to the last order's number
// goes just before it.
size_t insertionPlace(const OrderBook::Orders& orders, const std::string& key) {
    if (orders.empty() || key < orders.front()->orderNumber)
        return 0;
    if (key > orders.back()->orderNumber)
        return orders.size();
    const auto place =
        std::upper_bound(orders.begin(), orders.end() - 1, key,
                         [](const std::string& k, const std::unique_ptr<OrderEntry>& o) {
                             return k < o->orderNumber;
                         });
    return size_t(place - orders.begin());
}

} // namespace

OrderBook::OrderBook(std::string databasePath, uint32_t fileHeader, QObject* parent)
    : QObject(parent), m_database(std::move(databasePath), fileHeader) {
    m_database.setDamageReport([this](const DatabaseDamage& damage) {
        const std::string name =
            damage.copyPath.empty()
                ? std::string()
                : damage.copyPath.substr(damage.copyPath.find_last_of("/\\") + 1);
        emit databaseDamaged(int(damage.recordsRead), toQString(name));
    });
}

void OrderBook::setClock(const Clock& clock) {
    std::lock_guard file(m_fileMutex);
    m_database.setClock(&clock);
}

void OrderBook::setProducts(const ProductList* products) {
    std::lock_guard lock(m_mutex);
    m_products = products;
    ItemLinker linker(products);
    for (const auto& order : m_orders)
        linker.link(*order);
}

const ProductList* OrderBook::products() const {
    std::lock_guard lock(m_mutex);
    return m_products;
}

OrderDatabaseScan OrderBook::load() {
    Orders loaded;
    const OrderDatabaseScan scan = readDatabase(loaded);
    fileLoaded(std::move(loaded));
    return scan;
}

OrderDatabaseScan OrderBook::readDatabase(Orders& loaded) {
    // Only this read and the appends touch the database file; the appends
    // come from completed orders, which arrive after the load.
    return m_database.load(loaded);
}

void OrderBook::beginLoad() {
    std::lock_guard lock(m_mutex);
    m_loading = true;
}

void OrderBook::fileLoaded(Orders loaded) {
    bool held = false;
    {
        std::lock_guard lock(m_mutex);
        ItemLinker linker(m_products);
        for (auto& order : loaded)
            linker.link(*order);
        fileSorted(m_orders, std::move(loaded),
                   [](const auto& order) -> const std::string& { return order->orderNumber; });
        held = m_loading;
    }
    if (held) {
        std::lock_guard file(m_fileMutex);
        appendWaiting([this](size_t lost) {
            m_loading = false;
            m_saveOwed = m_saveOwed || lost > 0;
            m_unstored += lost;
        });
    }
    emit ordersReset();
}

bool OrderBook::add(std::unique_ptr<OrderEntry> order) {
    if (!order)
        return false;
    std::string record;
    appendOrderRecord(record, *order);
    std::unique_lock lock(m_mutex);
    const size_t place = insertSorted(std::move(order));
    bool stored = true;
    if (m_rewriting || m_loading) {
        m_waiting += record;
        ++m_waitingCount;
        lock.unlock();
    } else {
        // Taken before the list is let go, so a rewrite that starts now
        // snapshots this order and waits for the append to end.
        std::unique_lock file(m_fileMutex);
        lock.unlock();
        stored = m_database.append(record);
        file.unlock();
        if (!stored) {
            lock.lock();
            m_saveOwed = true;
            ++m_unstored;
            lock.unlock();
        }
    }
    emit orderInserted(int(place));
    return stored;
}

int OrderBook::writeXmlLog(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    return writeOrderLogFile(path, m_orders, m_products);
}

std::optional<OrderBook::PurgeWork> OrderBook::takePurge(int days, int64_t now, bool rewrite) {
    PurgeWork work;
    {
        std::lock_guard lock(m_mutex);
        if (m_rewriting || m_loading)
            return std::nullopt;
        // The orders kept close up in place: this runs on the window's
        // thread, and a second list as long as the book would be paged in.
        const int64_t cutoff = now - int64_t(days) * 86400;
        size_t kept = 0;
        for (auto& order : m_orders) {
            if (int64_t(order->received) < cutoff)
                work.purged.push_back(std::move(order));
            else
                m_orders[kept++].swap(order); // with a taken (empty) place or itself
        }
        m_orders.erase(m_orders.begin() + std::ptrdiff_t(kept), m_orders.end());
        work.products = m_products;
        if (rewrite)
            work.rewrite = beginRewrite();
    }
    emit ordersReset();
    return work;
}

OrderBook::PurgeDone OrderBook::finishPurge(PurgeWork work, const std::string& xmlPath) {
    PurgeDone done;
    done.removed = int(work.purged.size());
    if (!work.purged.empty())
        // The folders go even when the log cannot be written: the purge is
        // the shop's standing order.
        writeOrderLogFile(xmlPath, work.purged, work.products);
    for (const auto& order : work.purged)
        removeOrderFolder(order->folder);
    if (work.rewrite)
        done.saved = finishRewrite(*work.rewrite);
    return done;
}

int OrderBook::purge(int days, const std::string& xmlPath, int64_t now) {
    std::optional<PurgeWork> work = takePurge(days, now, false);
    return work ? finishPurge(std::move(*work), xmlPath).removed : 0;
}

bool OrderBook::save() {
    std::vector<const OrderEntry*> snapshot;
    {
        std::lock_guard lock(m_mutex);
        if (m_rewriting || m_loading)
            return false;
        snapshot = beginRewrite();
    }
    return finishRewrite(snapshot);
}

std::vector<const OrderEntry*> OrderBook::beginRewrite() {
    m_rewriting = true;
    std::vector<const OrderEntry*> snapshot;
    snapshot.reserve(m_orders.size());
    for (const auto& order : m_orders)
        snapshot.push_back(order.get());
    return snapshot;
}

bool OrderBook::finishRewrite(const std::vector<const OrderEntry*>& orders) {
    std::lock_guard file(m_fileMutex);
    const bool written = m_database.rewrite(orders, m_rewriteHook);
    // The records that waited go after the new file, or, when it could not
    // be written, after the old one.
    bool saved = false;
    appendWaiting([&](size_t lost) {
        m_rewriting = false;
        m_unstored = written ? lost : m_unstored + lost;
        m_saveOwed = !written || lost > 0;
        saved = written && lost == 0;
    });
    return saved;
}

void OrderBook::appendWaiting(const std::function<void(size_t lost)>& settle) {
    size_t lost = 0;
    for (;;) {
        std::string waiting;
        size_t count = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty()) {
                settle(lost);
                return;
            }
            waiting.swap(m_waiting);
            count = std::exchange(m_waitingCount, 0);
        }
        if (!m_database.append(waiting))
            lost += count;
    }
}

bool OrderBook::saveOwed() const {
    std::lock_guard lock(m_mutex);
    return m_saveOwed;
}

size_t OrderBook::unstoredOrders() const {
    std::lock_guard lock(m_mutex);
    return m_unstored;
}

void OrderBook::setRewriteHook(std::function<void()> hook) {
    std::lock_guard file(m_fileMutex);
    m_rewriteHook = std::move(hook);
}

size_t OrderBook::size() const {
    std::lock_guard lock(m_mutex);
    return m_orders.size();
}

size_t OrderBook::insertSorted(std::unique_ptr<OrderEntry> order) {
    const size_t place = insertionPlace(m_orders, order->orderNumber);
    m_orders.insert(m_orders.begin() + std::ptrdiff_t(place), std::move(order));
    return place;
}

int purgeAgeDays(int32_t purge) {
    switch (purge) {
    case 0:
        return 0;
    case 1:
        return 7;
    case 2:
        return 14;
    case 3:
        return 30;
    case 4:
        return 60;
    case 5:
        return 90;
    default:
        return 180;
    }
}

} // namespace quillon
