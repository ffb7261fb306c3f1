// The data files' collations as a loadable SQLite extension, so the standard sqlite3 shell can
// check and write the files (their key indexes use these collations):
//   sqlite3 PRESCRIP.sqlite -cmd ".load build/default/collations" "PRAGMA integrity_check"
#include "platform/files/collation.h"
#include "platform/files/extension/extension_api.h"

SQLITE_EXTENSION_INIT1

extern "C" {

// The entry SQLite looks for in a file named "collations".
__attribute__((visibility("default"))) int sqlite3_collations_init(sqlite3* db, char** error, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    const int rc = files::registerCollations(db);
    if (rc != SQLITE_OK && error) *error = sqlite3_mprintf("the collations could not be registered (%s)", sqlite3_errstr(rc));
    return rc;
}

}  // extern "C"
