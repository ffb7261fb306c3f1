#pragma once
// Put before every source of the loadable extension: SQLite's functions are reached through the
// table the host program hands the extension when it loads it, not linked against a library.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
