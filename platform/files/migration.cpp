#include "platform/files/migration.h"

#include <sqlite3.h>

#include <iterator>
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

// Migration i brings a file of version i to version i + 1.
constexpr Migration kMigrations[] = {
    {toVersion1File, toVersion1Table},
    {nullptr, toVersion2Table},
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

}  // namespace

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
