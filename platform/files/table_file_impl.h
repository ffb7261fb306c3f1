#pragma once
// The inside of a table instance, shared by the instance's operations and its record views.
#include <memory>
#include <string>

#include "platform/files/connection.h"
#include "platform/files/key_scan.h"
#include "platform/files/schema.h"
#include "platform/files/table_file.h"

namespace files {

struct TableFile::Impl {
    Impl(const TableDesc& d, void* buf, std::string* m);

    const TableDesc& desc;
    char* buffer;
    std::string* memo;
    std::unique_ptr<TableSchema> schema;  // nullptr when the layout cannot be stored
    std::string layoutError;
    std::string path;                     // as last resolved

    bool open = false;
    OpenMode mode = OpenMode::SharedReadWrite;
    std::weak_ptr<Connection> conn;       // the pool owns it; gone after ReleaseThreadConnections
    int recoverSeconds = 0;
    bool readMemo = true;

    std::int64_t currentId = 0;
    std::int64_t currentVersion = 0;
    std::unique_ptr<KeyScan> cursor;
    // Which of the schema's lookups the open file holds (an older file opened for reading may lack them).
    std::vector<bool> lookupStored;

    int lastError = 0;
    std::string lastErrorText;
    int lastSqlite = 0;  // SQLite's result code behind the last error, 0 when none
    std::string lastCause;  // the cause in words when the code alone cannot tell it
    bool openedNewer = false;  // open for reading only, the file being newer than this program
    bool newerFile = false;  // the last refusal was of a file newer than this program

    // The connection of an open instance (nullptr when closed or released).
    std::shared_ptr<Connection> connection();
    // Either the open connection or kFileNotOpen recorded.
    int requireOpen(std::shared_ptr<Connection>* c);
    int requireWritable(std::shared_ptr<Connection>* c);
    bool validKey(int key) const { return schema && key >= -1 && key < schema->keyCount(); }
    int badKey(int key);

    int ok();
    int fail(int code, std::string detail, int sqlite = 0);
    int fail(const StoreError& e);
    // fail(), with the words for a file newer than this program when that is why.
    int refuse(const StoreError& e);
    int sqlFail(Connection& c, int rc, const std::string& what);
    // acceptFile, once for each connection.
    int accept(Connection& c, StoreError* e);
    // The connection made ready for writing (WAL), recorded as the error when it cannot be.
    int prepareWrites(Connection& c);
    bool keyMissing(Connection& c);

    // Puts a read row into the buffer (and memo) and makes it the current record.
    void deliver(const Row& r, bool withMemo);
    int fetchById(Connection& c, std::int64_t id, bool withMemo, Row* out);
    bool writesMemo() const { return memo && schema->hasMemo(); }
    int bindRecord(sqlite3_stmt* st);
    void resolvePath();
    // Resolves the path in the data folder and takes the thread's connection to it.
    int threadConnectionFor(bool create, bool readOnlyFallback, int busyMs, std::shared_ptr<Connection>* c);
};

}  // namespace files
