#pragma once

#include "status/OrderStatus.h"
#include "status/StatusTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quillon {

// One committed change of one order's status.
struct StatusChange {
    int64_t id = 0; // the history entry's number
    OrderKey order;
    OrderStatus previous = OrderStatus::New;
    OrderStatus status = OrderStatus::New;
    int64_t time = 0;    // seconds since 1970, UTC
    std::string station; // "window", "headless", "board <client address>"
};

// Whether the customer was told of a change by e-mail.
enum class CustomerTold : uint8_t { NotAsked, Told, NotTold };

struct StatusHistoryEntry {
    StatusChange change;
    CustomerTold told = CustomerTold::NotAsked;
    std::string toldNote; // why the customer was not told, or to whom the mail went
};

// What opening the database found.
struct StatusOpening {
    enum class State { Opened, Created, Failed } state = State::Failed;
    // A damaged file was kept under this name (with its -wal and -shm files
    // beside it) and a new database started.
    std::string damagedCopy;
    std::string error; // with Failed
    StatusTable table;
};

// The status database file: the current status of every order that has
// one and the history of every change. Not thread-safe: one thread opens it
// and does all its work, as the connection belongs to that thread. Every
// change is committed with a full sync before it is reported made.
class StatusDatabase {
public:
    static constexpr int kSchemaVersion = 1;

    explicit StatusDatabase(std::string path);
    ~StatusDatabase();
    StatusDatabase(const StatusDatabase&) = delete;
    StatusDatabase& operator=(const StatusDatabase&) = delete;

    // Opens the file, creating it when missing; a damaged one is moved
    // aside, named after `now` (local time), and a new one started. Reads
    // every status row.
    StatusOpening open(int64_t now);
    bool isOpen() const { return m_db != nullptr; }

    // Sets `status` for every order in one transaction; orders that have it
    // already are left alone. The changes made, or none when the
    // transaction failed (lastError() says why).
    std::optional<std::vector<StatusChange>> change(const std::vector<OrderKey>& orders,
                                                    OrderStatus status, int64_t time,
                                                    const std::string& station);
    // Oldest first.
    std::vector<StatusHistoryEntry> history(const OrderKey& order);
    // Removes the orders' statuses and histories in one transaction.
    bool forget(const std::vector<OrderKey>& orders);
    // Notes on the order's latest change to Ready whether its customer was told.
    bool recordTold(const OrderKey& order, CustomerTold told, const std::string& note);

    const std::string& lastError() const { return m_error; }

private:
    enum class Outcome { Done, Damaged, Failed };
    Outcome openExisting(StatusTable& table, bool& created);
    bool createSchema();
    bool readRows(StatusTable& table);
    std::string moveAside(int64_t now);
    void close();
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    bool fail(const char* what);
    bool damagedError() const;

    std::string m_path;
    sqlite3* m_db = nullptr;
    std::string m_error;
    int m_lastCode = 0;
};

} // namespace quillon
