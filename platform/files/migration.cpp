#include "platform/files/migration.h"

#include <sqlite3.h>

#include <iterator>
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
    for (int v = version < 0 ? 0 : version; v < kFileVersion; ++v)
        if (int code = kMigrations[v](c, s, e)) return code;
    if ((rc = c.exec(("PRAGMA user_version = " + std::to_string(kFileVersion)).c_str())) != SQLITE_OK) return storeFail(c, rc, e);
    if ((rc = w.commit()) != SQLITE_OK) return storeFail(c, rc, e);
    return kNoError;
}

}  // namespace files
