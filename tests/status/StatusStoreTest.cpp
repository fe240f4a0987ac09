// The status database through the store that owns it: changes committed
// and kept across restarts, keyed by number, time and folder; a damaged
// file kept aside; changes that survive the process being killed.
#include "status/StatusStore.h"
#include "status/StatusDatabase.h"
#include "status/StatusTable.h"

#include "support/ManualClock.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>

using namespace quillon;
using namespace testsupport;

namespace {

class StatusStoreTest : public testing::Test {
protected:
    std::string path() const { return m_dir.filePath("status.sqlite").toStdString(); }

    // A store opened on the database (or on `at`), once it has answered.
    std::unique_ptr<StatusStore> openStore(StatusOpening* opening = nullptr,
                                           const std::string& at = {}) {
        auto store = std::make_unique<StatusStore>(at.empty() ? path() : at, m_clock);
        QObject::connect(store.get(), &StatusStore::opened, [opening](const StatusOpening& o) {
            if (opening)
                *opening = o;
        });
        store->open();
        EXPECT_TRUE(processUntil([&] { return store->hasAnswered(); }));
        return store;
    }

    // Asks for a change and waits for the store to report it committed.
    std::vector<StatusChange> change(StatusStore& store, std::vector<OrderKey> orders,
                                     OrderStatus status, const std::string& station = "window") {
        std::optional<std::vector<StatusChange>> made;
        QMetaObject::Connection c = QObject::connect(
            &store, &StatusStore::changesCommitted,
            [&made](quint64, const std::vector<StatusChange>& changes) { made = changes; });
        EXPECT_NE(store.requestChange(std::move(orders), status, station), 0u);
        EXPECT_TRUE(processUntil([&] { return made.has_value(); }));
        QObject::disconnect(c);
        return made.value_or(std::vector<StatusChange>{});
    }

    QTemporaryDir m_dir;
    ManualClock m_clock{1'700'000'000};
};

const OrderKey kFirst{"000001", 1'690'000'000, "/orders/000001"};
// The same number after a wrap-around, and the same number and time in
// another folder: three different orders.
const OrderKey kWrapped{"000001", 1'695'000'000, "/orders/000001"};
const OrderKey kElsewhere{"000001", 1'690'000'000, "/other/000001"};
const OrderKey kAccented{"Jos\xE9-7", 1'690'000'100, "/orders/Jos\xE9-7"};

} // namespace

TEST_F(StatusStoreTest, ChangesAreCommittedKeptAndRecordedWithTheirStation) {
    StatusOpening opening;
    auto store = openStore(&opening);
    EXPECT_EQ(opening.state, StatusOpening::State::Created);
    EXPECT_EQ(store->statusOf(kFirst), OrderStatus::New);

    // One transaction for a selection; an order that has the status already
    // records nothing.
    std::vector<StatusChange> made =
        change(*store, {kFirst, kWrapped, kAccented}, OrderStatus::InProduction);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(made[0].previous, OrderStatus::New);
    m_clock.advance(60);
    made = change(*store, {kFirst, kWrapped}, OrderStatus::InProduction);
    EXPECT_TRUE(made.empty());
    made = change(*store, {kFirst}, OrderStatus::Ready, "board 10.0.0.7");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].previous, OrderStatus::InProduction);
    EXPECT_EQ(
        std::tuple(store->statusOf(kFirst), store->statusOf(kWrapped), store->statusOf(kElsewhere)),
        std::tuple(OrderStatus::Ready, OrderStatus::InProduction, OrderStatus::New));
    store->recordTold(kFirst, CustomerTold::Told, "anna@example.org");
    store->forget(std::make_shared<const std::vector<OrderKey>>(1, kWrapped));
    EXPECT_TRUE(processUntil([&] { return store->statusOf(kWrapped) == OrderStatus::New; }));

    // A restart reads back what was committed, history included.
    store.reset();
    store = openStore(&opening);
    EXPECT_EQ(std::tuple(opening.state, store->rowCount(), store->statusOf(kFirst),
                         store->statusOf(kAccented), store->statusOf(kWrapped)),
              std::tuple(StatusOpening::State::Opened, 2u, OrderStatus::Ready,
                         OrderStatus::InProduction, OrderStatus::New));
    std::optional<std::vector<StatusHistoryEntry>> history;
    store->requestHistory(kFirst, [&history](std::vector<StatusHistoryEntry> h) { history = h; });
    ASSERT_TRUE(processUntil([&] { return history.has_value(); }));
    ASSERT_EQ(history->size(), 2u);
    const StatusHistoryEntry &first = (*history)[0], &second = (*history)[1];
    EXPECT_EQ(std::tuple(first.change.station, first.change.time, first.told),
              std::tuple("window", 1'700'000'000, CustomerTold::NotAsked));
    EXPECT_EQ(std::tuple(second.change.status, second.change.station, second.change.time),
              std::tuple(OrderStatus::Ready, "board 10.0.0.7", 1'700'000'060));
    EXPECT_EQ(std::tuple(second.told, second.toldNote, second.change.order),
              std::tuple(CustomerTold::Told, "anna@example.org", kFirst));
}

TEST_F(StatusStoreTest, ADamagedDatabaseIsKeptWithItsJournalAndANewOneStarted) {
    const QByteArray junk(8192, 'x');
    for (const char* suffix : {"", "-wal", "-shm"})
        ASSERT_TRUE(writeFile(QString::fromStdString(path() + suffix), junk));
    StatusOpening opening;
    auto store = openStore(&opening);
    ASSERT_EQ(opening.state, StatusOpening::State::Created) << opening.error;
    ASSERT_FALSE(opening.damagedCopy.empty());
    for (const char* suffix : {"", "-wal", "-shm"})
        EXPECT_EQ(readFile(QString::fromStdString(opening.damagedCopy + suffix)), junk) << suffix;
    EXPECT_EQ(change(*store, {kFirst}, OrderStatus::Shipped).size(), 1u);

    // A database that cannot be made is said, and nothing can be asked of it.
    auto nowhere = openStore(&opening, m_dir.filePath("missing/status.sqlite").toStdString());
    EXPECT_EQ(std::tuple(opening.state, opening.error.empty()),
              std::tuple(StatusOpening::State::Failed, false));
    EXPECT_EQ(nowhere->requestChange({kFirst}, OrderStatus::Ready, "window"), 0u);
}

// Every change the writer reported committed is in the database after it
// was killed, five times over, and the database opens undamaged.
TEST_F(StatusStoreTest, ReportedChangesSurviveTheProcessBeingKilled) {
    std::map<long long, std::pair<std::string, std::string>> reported; // id: number, status
    for (int kill = 0; kill < 5; ++kill) {
        QProcess writer;
        writer.start(STATUS_WRITER_BIN, {QString::fromStdString(path())});
        ASSERT_TRUE(writer.waitForStarted(10'000));
        const int wanted = 20 + int(QRandomGenerator::global()->bounded(80));
        int lines = 0;
        QByteArray pending;
        auto readLines = [&] {
            pending += writer.readAllStandardOutput();
            for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
                const QList<QByteArray> f = pending.left(end).split(' ');
                ASSERT_EQ(f.size(), 3) << pending.left(end).toStdString();
                reported[f[0].toLongLong()] = {f[1].toStdString(), f[2].toStdString()};
                ++lines;
            }
        };
        while (lines < wanted && writer.state() == QProcess::Running &&
               writer.waitForReadyRead(20'000))
            readLines();
        ASSERT_GE(lines, wanted) << writer.readAllStandardError().toStdString();
        writer.kill(); // SIGKILL
        ASSERT_TRUE(writer.waitForFinished(10'000));
        readLines(); // reported before the kill landed

        StatusDatabase db(path());
        const StatusOpening opening = db.open(m_clock.now());
        ASSERT_EQ(opening.state, StatusOpening::State::Opened) << opening.error;
        std::map<long long, std::pair<std::string, std::string>> kept;
        for (size_t row = 0; row < opening.table.size(); ++row) {
            const OrderKey order = opening.table.keyAt(row);
            const std::vector<StatusHistoryEntry> history = db.history(order);
            for (const StatusHistoryEntry& e : history)
                kept[e.change.id] = {e.change.order.orderNumber,
                                     std::string(statusKey(e.change.status))};
            // The row is the latest change of its history.
            EXPECT_EQ(history.back().change.status, opening.table.statusAt(row));
        }
        for (const auto& [id, change] : reported)
            ASSERT_EQ(kept[id], change) << "change " << id << " was reported but is lost";
    }
    EXPECT_GE(reported.size(), 100u);
}

// The look-up the list matches its whole book against: orders of one number
// told apart by time and folder, rows added in any order, changes that add
// and remove rows.
TEST(StatusTable, MatchesABookSortedByNumberThroughChanges) {
    const OrderKey a10{"A-1", 10, "/o/A-1"}, a5{"A-1", 5, "/o/A-1"}, aElsewhere{"A-1", 10, "/x"},
        a2{"A-2", 30, "/o/A-2"}, b2{"B-2", 20, "/o/B-2"};
    StatusTable table;
    for (auto [key, status] : {std::pair{b2, OrderStatus::Ready},
                               {a10, OrderStatus::InProduction},
                               {a5, OrderStatus::Shipped}})
        table.add(key.orderNumber, key.received, key.folder, status);
    table.sort();
    StatusTable::Orders book;
    for (const OrderKey& key : {a10, a5, aElsewhere, a2, b2}) {
        book.push_back(std::make_unique<OrderEntry>());
        std::tie(book.back()->orderNumber, book.back()->received, book.back()->folder) =
            std::tie(key.orderNumber, key.received, key.folder);
    }
    using S = OrderStatus;
    EXPECT_EQ(table.statusesOf(book),
              (std::vector<S>{S::InProduction, S::Shipped, S::New, S::New, S::Ready}));

    table.set({a2, b2}, S::PickedUp);
    table.set({a10}, S::New);
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(table.statusesOf(book),
              (std::vector<S>{S::New, S::Shipped, S::New, S::PickedUp, S::PickedUp}));
    // Most rows gone: the texts of the one left are still its own.
    table.set({b2, a2}, S::New);
    EXPECT_EQ(std::tuple(table.keyAt(0), table.statusOf(a5), table.statusOf(b2)),
              std::tuple(a5, S::Shipped, S::New));
}
