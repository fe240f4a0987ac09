#include "status/StatusDatabase.h"

#include "netlib/AnsiText.h"
#include "orders/Clock.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace quillon {

namespace {

constexpr char kSchema[] = R"(
CREATE TABLE order_status(
    order_number TEXT NOT NULL, received INTEGER NOT NULL, folder TEXT NOT NULL,
    status TEXT NOT NULL,
    PRIMARY KEY(order_number, received, folder)) WITHOUT ROWID;
CREATE TABLE status_history(
    id INTEGER PRIMARY KEY,
    order_number TEXT NOT NULL, received INTEGER NOT NULL, folder TEXT NOT NULL,
    previous TEXT NOT NULL, status TEXT NOT NULL, changed INTEGER NOT NULL,
    station TEXT NOT NULL, told INTEGER, told_note TEXT);
CREATE INDEX status_history_order ON status_history(order_number, received, folder);
PRAGMA user_version = 1;
)";

constexpr char kDropStatus[] =
    "DELETE FROM order_status WHERE order_number=?1 AND received=?2 AND folder=?3";

// A prepared statement, finalised when it goes.
class Statement {
public:
    explicit Statement(sqlite3_stmt* s) : m_s(s) {}
    ~Statement() { sqlite3_finalize(m_s); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return m_s != nullptr; }
    sqlite3_stmt* get() const { return m_s; }

    void bindText(int i, std::string_view text) {
        sqlite3_bind_text(m_s, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int i, int64_t v) { sqlite3_bind_int64(m_s, i, v); }
    void bindKey(const OrderKey& key, int first = 1) {
        bindText(first, ansiToUtf8(key.orderNumber));
        bindInt(first + 1, key.received);
        bindText(first + 2, ansiToUtf8(key.folder));
    }
    int step() { return sqlite3_step(m_s); }
    // Runs a statement that returns no rows and makes it ready to run again.
    bool run() {
        const int rc = sqlite3_step(m_s);
        sqlite3_reset(m_s);
        sqlite3_clear_bindings(m_s);
        return rc == SQLITE_DONE;
    }
    // Valid until the next step.
    std::string_view view(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_s, column));
        return p ? std::string_view(p, size_t(sqlite3_column_bytes(m_s, column)))
                 : std::string_view();
    }
    std::string text(int column) const { return std::string(view(column)); }
    // The column's text as 8-bit text; `buffer` holds it when it had to
    // be converted.
    std::string_view ansiText(int column, std::string& buffer) const {
        const std::string_view utf8 = view(column);
        if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; }))
            return utf8;
        buffer = utf8ToAnsi(utf8);
        return buffer;
    }
    int64_t integer(int column) const { return sqlite3_column_int64(m_s, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_s, column) == SQLITE_NULL; }

private:
    sqlite3_stmt* m_s;
};

OrderStatus statusIn(const Statement& s, int column) {
    return statusFromKey(s.view(column)).value_or(OrderStatus::New);
}

// Missing, empty, or starting with SQLite's header.
bool looksLikeDatabase(const std::string& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return true;
    char header[16] = {};
    const size_t n = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    return n == 0 || (n == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0);
}

std::filesystem::path fsPath(const std::string& ansi) {
    return ansiPath(ansi);
}

} // namespace

StatusDatabase::StatusDatabase(std::string path) : m_path(std::move(path)) {}

StatusDatabase::~StatusDatabase() {
    close();
}

void StatusDatabase::close() {
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool StatusDatabase::fail(const char* what) {
    m_lastCode = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
    m_error = std::string(what) + ": " + (m_db ? sqlite3_errmsg(m_db) : "no database");
    return false;
}

bool StatusDatabase::damagedError() const {
    const int primary = m_lastCode & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool StatusDatabase::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail("SQL");
}

sqlite3_stmt* StatusDatabase::prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK) {
        fail("SQL");
        return nullptr;
    }
    return s;
}

StatusOpening StatusDatabase::open(int64_t now) {
    StatusOpening opening;
    close();
    bool created = false;
    Outcome outcome = openExisting(opening.table, created);
    if (outcome == Outcome::Damaged) {
        // The damaged file goes aside as it is: its journal is not folded in.
        if (m_db)
            sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        close();
        opening.table = {};
        opening.damagedCopy = moveAside(now);
        if (opening.damagedCopy.empty()) {
            opening.error = "the damaged file could not be moved aside (" + m_error + ")";
            return opening;
        }
        outcome = openExisting(opening.table, created);
    }
    if (outcome != Outcome::Done) {
        close();
        opening.error = m_error;
        return opening;
    }
    opening.state = created ? StatusOpening::State::Created : StatusOpening::State::Opened;
    return opening;
}

StatusDatabase::Outcome StatusDatabase::openExisting(StatusTable& table, bool& created) {
    const Outcome failed = Outcome::Failed;
    auto outcome = [this, failed] { return damagedError() ? Outcome::Damaged : failed; };
    m_lastCode = 0;
    const std::string file = fsPath(m_path).string();
    // A file that is not a database at all is known before SQLite would
    // reset its -wal and -shm files.
    if (!looksLikeDatabase(file)) {
        m_lastCode = SQLITE_NOTADB;
        m_error = "not a database file";
        return Outcome::Damaged;
    }
    if (sqlite3_open_v2(file.c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        fail("open");
        return outcome();
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    // A change must survive a power cut as well as the shop being killed.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL"))
        return outcome();
    Statement version(prepare("PRAGMA user_version"));
    if (!version || version.step() != SQLITE_ROW)
        return fail("schema version"), outcome();
    const int64_t schema = version.integer(0);
    if (schema > kSchemaVersion) {
        m_error = "it was made by a newer Quillon (schema version " + std::to_string(schema) + ")";
        return failed;
    }
    created = schema == 0;
    if (created && !createSchema())
        return outcome();
    // Reading every status row walks the whole status table, which finds
    // a damaged page there; the history is checked when it is read.
    if (!readRows(table))
        return outcome();
    return Outcome::Done;
}

bool StatusDatabase::createSchema() {
    // An empty file is a new database; any other file without the schema's
    // version is not one of ours.
    Statement tables(prepare("SELECT count(*) FROM sqlite_schema"));
    if (!tables || tables.step() != SQLITE_ROW)
        return fail("schema");
    if (tables.integer(0) != 0) {
        m_lastCode = SQLITE_NOTADB;
        m_error = "schema: not a status database";
        return false;
    }
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    if (!exec(kSchema)) {
        const std::string error = m_error;
        exec("ROLLBACK");
        m_error = error;
        return false;
    }
    return exec("COMMIT");
}

bool StatusDatabase::readRows(StatusTable& table) {
    Statement s(prepare("SELECT order_number, received, folder, status FROM order_status"));
    if (!s)
        return false;
    // The rows are read once, in the order they are kept: a page cache of
    // a few pages used again and again is quicker than a large one filled
    // with new memory (a sixth of the read at 100,000 rows).
    Statement cacheSize(prepare("PRAGMA cache_size"));
    if (!cacheSize || cacheSize.step() != SQLITE_ROW)
        return fail("read");
    const std::string usualCache = "PRAGMA cache_size=" + std::to_string(cacheSize.integer(0));
    exec("PRAGMA cache_size=16");
    int rc;
    std::string number, folder;
    while ((rc = s.step()) == SQLITE_ROW)
        table.add(s.ansiText(0, number), uint32_t(s.integer(1)), s.ansiText(2, folder),
                  statusIn(s, 3));
    exec(usualCache.c_str());
    table.sort();
    return rc == SQLITE_DONE || fail("read");
}

// status.sqlite.damaged-YYYYMMDD-HHMMSS, with "-2", "-3"... when taken; its
// -wal and -shm files go with it under the names SQLite gives them.
std::string StatusDatabase::moveAside(int64_t now) {
    const std::tm t = Clock::localTime(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &t);
    const std::string base = m_path + ".damaged-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        std::error_code ec;
        if (std::filesystem::exists(fsPath(name), ec) ||
            std::filesystem::exists(fsPath(name + "-wal"), ec))
            continue;
        for (const char* suffix : {"-wal", "-shm"})
            if (std::filesystem::exists(fsPath(m_path + suffix), ec))
                std::filesystem::rename(fsPath(m_path + suffix), fsPath(name + suffix), ec);
        std::filesystem::rename(fsPath(m_path), fsPath(name), ec);
        if (ec) {
            m_error = ec.message();
            return {};
        }
        return name;
    }
    m_error = "no free name";
    return {};
}

std::optional<std::vector<StatusChange>> StatusDatabase::change(const std::vector<OrderKey>& orders,
                                                                OrderStatus status, int64_t time,
                                                                const std::string& station) {
    if (!m_db) {
        m_error = "the status database is not open";
        return std::nullopt;
    }
    Statement current(prepare("SELECT status FROM order_status WHERE order_number=?1 AND "
                              "received=?2 AND folder=?3"));
    Statement put(prepare("INSERT OR REPLACE INTO order_status VALUES(?1, ?2, ?3, ?4)"));
    Statement drop(prepare(kDropStatus));
    Statement log(prepare("INSERT INTO status_history(order_number, received, folder, previous, "
                          "status, changed, station) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    if (!current || !put || !drop || !log || !exec("BEGIN IMMEDIATE"))
        return std::nullopt;
    std::vector<StatusChange> made;
    const std::string key(statusKey(status));
    const std::string stationText = ansiToUtf8(station);
    bool ok = true;
    for (const OrderKey& order : orders) {
        current.bindKey(order);
        OrderStatus previous = OrderStatus::New;
        const int rc = current.step();
        if (rc == SQLITE_ROW)
            previous = statusIn(current, 0);
        sqlite3_reset(current.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            ok = fail("read");
            break;
        }
        if (previous == status)
            continue;
        // An order without a row is New.
        Statement& row = status == OrderStatus::New ? drop : put;
        row.bindKey(order);
        if (status != OrderStatus::New)
            put.bindText(4, key);
        log.bindKey(order);
        log.bindText(4, statusKey(previous));
        log.bindText(5, key);
        log.bindInt(6, time);
        log.bindText(7, stationText);
        if (!row.run() || !log.run()) {
            ok = fail("write");
            break;
        }
        made.push_back({sqlite3_last_insert_rowid(m_db), order, previous, status, time, station});
    }
    if (!ok || !exec("COMMIT")) {
        const std::string error = m_error;
        exec("ROLLBACK");
        m_error = error;
        return std::nullopt;
    }
    return made;
}

std::vector<StatusHistoryEntry> StatusDatabase::history(const OrderKey& order) {
    std::vector<StatusHistoryEntry> entries;
    if (!m_db)
        return entries;
    Statement s(prepare("SELECT id, previous, status, changed, station, told, told_note FROM "
                        "status_history WHERE order_number=?1 AND received=?2 AND folder=?3 "
                        "ORDER BY id"));
    if (!s)
        return entries;
    s.bindKey(order);
    while (s.step() == SQLITE_ROW) {
        StatusHistoryEntry e;
        e.change = {s.integer(0),   order,        statusIn(s, 1),
                    statusIn(s, 2), s.integer(3), utf8ToAnsi(s.text(4))};
        if (!s.isNull(5))
            e.told = s.integer(5) ? CustomerTold::Told : CustomerTold::NotTold;
        e.toldNote = utf8ToAnsi(s.text(6));
        entries.push_back(std::move(e));
    }
    return entries;
}

bool StatusDatabase::forget(const std::vector<OrderKey>& orders) {
    if (!m_db)
        return false;
    Statement status(prepare(kDropStatus));
    Statement history(prepare("DELETE FROM status_history WHERE order_number=?1 AND "
                              "received=?2 AND folder=?3"));
    if (!status || !history || !exec("BEGIN IMMEDIATE"))
        return false;
    for (const OrderKey& order : orders) {
        status.bindKey(order);
        history.bindKey(order);
        if (!status.run() || !history.run()) {
            fail("purge");
            exec("ROLLBACK");
            return false;
        }
    }
    return exec("COMMIT");
}

bool StatusDatabase::recordTold(const OrderKey& order, CustomerTold told, const std::string& note) {
    if (!m_db)
        return false;
    Statement s(prepare("UPDATE status_history SET told=?4, told_note=?5 WHERE id=(SELECT "
                        "max(id) FROM status_history WHERE order_number=?1 AND received=?2 AND "
                        "folder=?3 AND status='ready')"));
    if (!s)
        return false;
    s.bindKey(order);
    if (told == CustomerTold::NotAsked)
        sqlite3_bind_null(s.get(), 4);
    else
        s.bindInt(4, told == CustomerTold::Told ? 1 : 0);
    s.bindText(5, ansiToUtf8(note));
    return s.run() || fail("write");
}

} // namespace quillon
