#include "platform/files/file_check.h"

#include <sqlite3.h>

#include "platform/files/connection.h"
#include "platform/files/errors.h"
#include "platform/files/schema.h"

namespace files {
namespace {

int refuseForeign(Connection& c, std::string why, StoreError* e) {
    e->code = kInvalidRecordDeclaration;
    e->sqlite = 0;
    e->foreignFile = true;
    e->detail = c.path() + ": " + why;
    return e->code;
}

int readInt(Connection& c, const char* sql, long long* out) {
    Statement st;
    int rc = c.prepare(sql, &st);
    if (rc == SQLITE_OK) rc = st.step();
    if (rc != SQLITE_ROW) return rc;
    *out = sqlite3_column_int64(st.get(), 0);
    return SQLITE_OK;
}

}  // namespace

std::string foreignFileCause(const std::string& path) {
    return path + " is not a data file of this program; it is left as it is";
}

int acceptFile(Connection& c, StoreError* e) {
    long long objects = 0, appId = 0;
    int rc = readInt(c, "SELECT count(*) FROM sqlite_master", &objects);
    if (rc == SQLITE_OK) rc = readInt(c, "PRAGMA application_id", &appId);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    if (appId == kApplicationId) return kNoError;
    if (appId != 0) return refuseForeign(c, "application id " + std::to_string(appId), e);
    if (objects == 0) return kNoError;  // nothing in it yet: made this program's at its first table

    // A file of the earlier releases: only the driver's own tables and tables of records (an
    // INTEGER PRIMARY KEY _id and a _version column).
    Statement st;
    rc = c.prepare(
        "SELECT m.name FROM sqlite_master m WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
        "AND m.name NOT IN ('_provisional', '_kept_sums', '_pending_upgrades') "
        "AND NOT ((SELECT count(*) FROM pragma_table_info(m.name) WHERE lower(name) = '_id' AND pk = 1 AND lower(type) = 'integer') = 1 "
        "AND (SELECT count(*) FROM pragma_table_info(m.name) WHERE lower(name) = '_version') = 1) LIMIT 1",
        &st);
    if (rc != SQLITE_OK) return storeFail(c, rc, e);
    rc = st.step();
    if (rc == SQLITE_ROW) {
        const auto* t = sqlite3_column_text(st.get(), 0);
        return refuseForeign(c, std::string("table ") + (t ? reinterpret_cast<const char*>(t) : "") + " is not one of this program's", e);
    }
    return rc == SQLITE_DONE ? kNoError : storeFail(c, rc, e);
}

}  // namespace files
