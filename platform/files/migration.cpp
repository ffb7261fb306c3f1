#include "platform/files/migration.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files/connection.h"
#include "platform/files/errors.h"
#include "platform/files/kept_sum.h"
#include "platform/files/schema.h"

namespace files {
namespace {

constexpr const char* kKeptSumsTableSql =
    "CREATE TABLE IF NOT EXISTS _kept_sums (name TEXT PRIMARY KEY, definition TEXT NOT NULL, total INTEGER NOT NULL, odd INTEGER NOT NULL)";

// The file's tables that hold records (those with _id and _version), the driver's own left out.
int recordTables(Connection& c, std::vector<std::string>* out) {
    Statement st;
    int rc = c.prepare(
        "SELECT m.name FROM sqlite_master m WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
        "AND m.name NOT IN ('_provisional', '_kept_sums') "
        "AND (SELECT count(*) FROM pragma_table_info(m.name) WHERE lower(name) IN ('_id', '_version')) = 2",
        &st);
    if (rc != SQLITE_OK) return rc;
    while ((rc = st.step()) == SQLITE_ROW)
        if (const auto* t = sqlite3_column_text(st.get(), 0)) out->emplace_back(reinterpret_cast<const char*>(t));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// 0 -> 1. A file of the first releases is taken as it is: any of its triggers, sums, marks and
// indexes may be there, made otherwise, or missing. Its rows are never touched.
int toVersion1(Connection& c, const TableSchema& s, StoreError* e) {
    if (int code = makeFileTables(c, e)) return code;
    std::vector<std::string> tables;
    int rc = recordTables(c, &tables);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    for (const auto& table : tables) {
        rc = c.exec(("DROP TRIGGER IF EXISTS " + quoteIdentifier(table + ":version")).c_str());
        if (rc == SQLITE_OK) rc = c.exec(versionTriggerSql(table).c_str());
        if (rc != SQLITE_OK) return storeFail(c, rc, e);
    }
    bool exists = false;
    if ((rc = tableExists(c, s.table(), &exists)) != SQLITE_OK) return storeFail(c, rc, e);
    if (!exists) return kNoError;  // made complete when it is created
    if (int code = createMissingKeys(c, s, e)) return code;
    return makeKeptSums(c, s, e);
}

// 1 -> 2. The lookups, made over the rows the table holds.
int toVersion2(Connection& c, const TableSchema& s, StoreError* e) {
    bool exists = false;
    if (const int rc = tableExists(c, s.table(), &exists); rc != SQLITE_OK) return storeFail(c, rc, e);
    return exists ? createMissingKeys(c, s, e) : kNoError;
}

// 2 -> 3. The lookups as declared now: one stored in an earlier form is made again.
int toVersion3(Connection& c, const TableSchema& s, StoreError* e) {
    bool exists = false;
    if (const int rc = tableExists(c, s.table(), &exists); rc != SQLITE_OK) return storeFail(c, rc, e);
    if (!exists) return kNoError;
    for (const KeyPlan& lookup : s.lookups()) {
        Statement st;
        int rc = c.prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1 COLLATE NOCASE", &st);
        if (rc != SQLITE_OK) return storeFail(c, rc, e);
        sqlite3_bind_text64(st.get(), 1, lookup.indexName.data(), lookup.indexName.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        rc = st.step();
        const auto* sql = rc == SQLITE_ROW ? sqlite3_column_text(st.get(), 0) : nullptr;
        const bool differs = sql && lookup.createSql != reinterpret_cast<const char*>(sql);
        st.release();
        if (differs) {
            if (const int drop = c.exec(("DROP INDEX " + quoteIdentifier(lookup.indexName)).c_str()); drop != SQLITE_OK) return storeFail(c, drop, e);
        } else if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            return storeFail(c, rc, e);
        }
    }
    return createMissingKeys(c, s, e);
}

using Migration = int (*)(Connection&, const TableSchema&, StoreError*);
// Migration i brings a file of version i to version i + 1.
constexpr Migration kMigrations[] = {toVersion1, toVersion2, toVersion3};
static_assert(std::size(kMigrations) == kFileVersion, "one migration for each version");

std::mutex gObserverMutex;
MigrationObserver gObserver;  // guarded by gObserverMutex

// What the migrations of one file cost SQLite, as virtual-machine steps for each row of the opened
// table (making an index over the rows, mostly); the progress told is an estimate from it.
constexpr double kStepsPerRow = 12;
constexpr int kStepsPerTick = 4000;

// The observer's watch over one file's migrations, told through SQLite's progress handler while
// they run, at most every few hundredths of a second.
class Ticks {
public:
    Ticks(Connection& c, const TableSchema& s, int migrations) : c_(c) {
        MigrationObserver observer;
        {
            std::lock_guard lock(gObserverMutex);
            observer = gObserver;
        }
        if (!observer) return;
        watch_ = observer(c.path());
        if (!watch_) return;
        Statement st;
        if (c.prepare("SELECT max(_id) FROM " + quoteIdentifier(s.table()), &st) == SQLITE_OK && st.step() == SQLITE_ROW)
            expected_ = std::max(1.0, static_cast<double>(sqlite3_column_int64(st.get(), 0)) * kStepsPerRow * migrations);
        st.release();
        watch_->progress(0);
        last_ = std::chrono::steady_clock::now();
        sqlite3_progress_handler(c.db(), kStepsPerTick, &Ticks::tick, this);
    }
    ~Ticks() {
        if (!watch_) return;
        sqlite3_progress_handler(c_.db(), 0, nullptr, nullptr);
        watch_->progress(1);
    }
    Ticks(const Ticks&) = delete;
    Ticks& operator=(const Ticks&) = delete;

private:
    static int tick(void* self) {
        auto& t = *static_cast<Ticks*>(self);
        t.steps_ += kStepsPerTick;
        const auto now = std::chrono::steady_clock::now();
        if (now - t.last_ >= std::chrono::milliseconds(40)) {
            t.last_ = now;
            t.watch_->progress(std::min(0.99, t.steps_ / t.expected_));
        }
        return 0;  // never interrupts
    }
    Connection& c_;
    std::unique_ptr<MigrationWatch> watch_;
    double expected_ = 1;
    double steps_ = 0;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace

void SetMigrationObserver(MigrationObserver observer) {
    std::lock_guard lock(gObserverMutex);
    gObserver = std::move(observer);
}

int readFileVersion(Connection& c, int* version) {
    Statement st;
    int rc = c.prepare("PRAGMA user_version", &st);
    if (rc == SQLITE_OK) rc = st.step();
    if (rc != SQLITE_ROW) return rc;
    *version = sqlite3_column_int(st.get(), 0);
    return SQLITE_OK;
}

int makeFileTables(Connection& c, StoreError* e) {
    int rc = c.exec(kProvisionalTableSql);
    if (rc == SQLITE_OK) rc = c.exec(kKeptSumsTableSql);
    return rc == SQLITE_OK ? kNoError : storeFail(c, rc, e);
}

std::string newerFileCause(const std::string& path) {
    return path + " was written by a newer version of this program; it is read, and nothing in it is changed";
}

namespace {
int newer(Connection& c, int version, StoreError* e) {
    e->code = kAccessDenied;
    e->sqlite = 0;
    e->newerFile = true;
    e->detail = c.path() + " has file version " + std::to_string(version) + "; this program knows versions up to " + std::to_string(kFileVersion);
    return e->code;
}
}  // namespace

int refuseNewer(Connection& c, StoreError* e) {
    int version = 0;
    const int rc = readFileVersion(c, &version);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    return version > kFileVersion ? newer(c, version, e) : kNoError;
}

int prepareForWriting(Connection& c, const TableSchema& s, StoreError* e) {
    int version = 0;
    int rc = readFileVersion(c, &version);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    if (version > kFileVersion) return newer(c, version, e);
    if (version == kFileVersion) return kNoError;

    WriteScope w(c);
    if ((rc = w.begin()) != SQLITE_OK) return storeFail(c, rc, e);
    // Another instance may have migrated it while this one waited for the lock.
    if ((rc = readFileVersion(c, &version)) != SQLITE_OK) return storeFail(c, rc, e);
    if (version > kFileVersion) return newer(c, version, e);
    {
        const int from = version < 0 ? 0 : version;
        const Ticks ticks(c, s, kFileVersion - from);
        for (int v = from; v < kFileVersion; ++v)
            if (int code = kMigrations[v](c, s, e)) return code;
    }
    if ((rc = c.exec(("PRAGMA user_version = " + std::to_string(kFileVersion)).c_str())) != SQLITE_OK) return storeFail(c, rc, e);
    if ((rc = w.commit()) != SQLITE_OK) return storeFail(c, rc, e);
    return kNoError;
}

}  // namespace files
