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
#include "platform/files/file_check.h"
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
        "AND m.name NOT IN ('_provisional', '_kept_sums', '_pending_upgrades') "
        "AND (SELECT count(*) FROM pragma_table_info(m.name) WHERE lower(name) IN ('_id', '_version')) = 2",
        &st);
    if (rc != SQLITE_OK) return rc;
    while ((rc = st.step()) == SQLITE_ROW)
        if (const auto* t = sqlite3_column_text(st.get(), 0)) out->emplace_back(reinterpret_cast<const char*>(t));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Each migration has a part done once for the file and a part done for every table of records
// the file holds. The opened table's part runs with the file's; every other table is marked in
// _pending_upgrades with the version it has, and its parts run, once, when it is first opened for
// writing (only then is its layout known). The file's version is the file's alone.
struct Migration {
    int (*file)(Connection&, StoreError*);                        // nullptr: nothing for the file
    int (*table)(Connection&, const TableSchema&, StoreError*);  // the table exists when it runs
};

// 0 -> 1. A file of the first releases is taken as it is: any of its triggers, sums, marks and
// indexes may be there, made otherwise, or missing. Its rows are never touched.
int toVersion1File(Connection& c, StoreError* e) {
    if (int code = makeFileTables(c, e)) return code;
    std::vector<std::string> tables;
    int rc = recordTables(c, &tables);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    for (const auto& table : tables) {
        rc = c.exec(("DROP TRIGGER IF EXISTS " + quoteIdentifier(table + ":version")).c_str());
        if (rc == SQLITE_OK) rc = c.exec(versionTriggerSql(table).c_str());
        if (rc != SQLITE_OK) return storeFail(c, rc, e);
    }
    return kNoError;
}

int toVersion1Table(Connection& c, const TableSchema& s, StoreError* e) {
    if (int code = createMissingKeys(c, s, e)) return code;
    return makeKeptSums(c, s, e);
}

// 1 -> 2. The lookups, made over the rows the table holds.
int toVersion2Table(Connection& c, const TableSchema& s, StoreError* e) { return createMissingKeys(c, s, e); }

// 2 -> 3. The lookups as declared now: one stored in an earlier form is made again.
int toVersion3Table(Connection& c, const TableSchema& s, StoreError* e) {
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

// Migration i brings a file of version i to version i + 1.
constexpr Migration kMigrations[] = {
    {toVersion1File, toVersion1Table},
    {nullptr, toVersion2Table},
    {nullptr, toVersion3Table},
};
static_assert(std::size(kMigrations) == kFileVersion, "one migration for each version");

constexpr const char* kPendingTableSql = "CREATE TABLE IF NOT EXISTS _pending_upgrades (tbl TEXT PRIMARY KEY COLLATE NOCASE, since INTEGER NOT NULL)";

// The version the table of s was left at by the file's migration, or kFileVersion when it is upgraded.
int pendingSince(Connection& c, const TableSchema& s, int* since) {
    *since = kFileVersion;
    Statement st;
    int rc = c.prepare("SELECT since FROM _pending_upgrades WHERE tbl = ?1", &st);
    if (rc != SQLITE_OK) return SQLITE_OK;  // no such table: nothing pending
    sqlite3_bind_text64(st.get(), 1, s.table().data(), s.table().size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    rc = st.step();
    if (rc == SQLITE_ROW) *since = sqlite3_column_int(st.get(), 0);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

long long applicationId(Connection& c) {
    Statement st;
    if (c.prepare("PRAGMA application_id", &st) != SQLITE_OK || st.step() != SQLITE_ROW) return 0;
    return sqlite3_column_int64(st.get(), 0);
}

// The table's parts of the migrations from version since on.
int upgradeTable(Connection& c, const TableSchema& s, int since, StoreError* e) {
    bool exists = false;
    if (const int rc = tableExists(c, s.table(), &exists); rc != SQLITE_OK) return storeFail(c, rc, e);
    if (!exists) return kNoError;  // made complete when it is created
    for (int v = since < 0 ? 0 : since; v < kFileVersion; ++v)
        if (kMigrations[v].table)
            if (int code = kMigrations[v].table(c, s, e)) return code;
    return kNoError;
}

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
    return path + " was written by a newer version of this program; it is opened read-only";
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
    int version = 0, since = kFileVersion;
    int rc = readFileVersion(c, &version);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    if (version > kFileVersion) return newer(c, version, e);
    if (version == kFileVersion) {
        if ((rc = pendingSince(c, s, &since)) != SQLITE_OK) return storeFail(c, rc, e);
        if (since >= kFileVersion && applicationId(c) == kApplicationId) return kNoError;
    }

    WriteScope w(c);
    if ((rc = w.begin()) != SQLITE_OK) return storeFail(c, rc, e);
    // Another instance may have migrated it while this one waited for the lock.
    if ((rc = readFileVersion(c, &version)) != SQLITE_OK) return storeFail(c, rc, e);
    if (version > kFileVersion) return newer(c, version, e);
    if (version < kFileVersion) {
        for (int v = version < 0 ? 0 : version; v < kFileVersion; ++v)
            if (kMigrations[v].file)
                if (int code = kMigrations[v].file(c, e)) return code;
        std::vector<std::string> tables;
        if ((rc = recordTables(c, &tables)) != SQLITE_OK) return storeFail(c, rc, e);
        if ((rc = c.exec(kPendingTableSql)) != SQLITE_OK) return storeFail(c, rc, e);
        Statement mark;
        if ((rc = c.prepare("INSERT OR IGNORE INTO _pending_upgrades (tbl, since) VALUES (?1, ?2)", &mark)) != SQLITE_OK) return storeFail(c, rc, e);
        for (const auto& table : tables) {
            if (sqlite3_stricmp(table.c_str(), s.table().c_str()) == 0) continue;
            sqlite3_bind_text64(mark.get(), 1, table.data(), table.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            sqlite3_bind_int(mark.get(), 2, version < 0 ? 0 : version);
            if ((rc = mark.step()) != SQLITE_DONE) return storeFail(c, rc, e);
            sqlite3_reset(mark.get());
        }
        since = version;
    } else if ((rc = pendingSince(c, s, &since)) != SQLITE_OK) {
        return storeFail(c, rc, e);
    }
    if (since < kFileVersion) {
        const Ticks ticks(c, s, kFileVersion - (since < 0 ? 0 : since));
        if (int code = upgradeTable(c, s, since, e)) return code;
        Statement done;
        rc = c.prepare("DELETE FROM _pending_upgrades WHERE tbl = ?1", &done);
        if (rc == SQLITE_OK) {
            sqlite3_bind_text64(done.get(), 1, s.table().data(), s.table().size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            if ((rc = done.step()) == SQLITE_DONE) rc = SQLITE_OK;
        }
        if (rc != SQLITE_OK) return storeFail(c, rc, e);
    }
    const std::string stamp = "PRAGMA user_version = " + std::to_string(kFileVersion) + "; PRAGMA application_id = " + std::to_string(kApplicationId);
    if ((rc = c.exec(stamp.c_str())) != SQLITE_OK) return storeFail(c, rc, e);
    if ((rc = w.commit()) != SQLITE_OK) return storeFail(c, rc, e);
    return kNoError;
}

}  // namespace files
