#pragma once
// A thread's SQLite connection to one database file, shared by that thread's table instances, and
// the thread's pool of them. A connection is used only by the thread that opened it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace files {

class Connection;

struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool leased = false;
};

// A prepared statement leased from a connection's cache: reset and unbound when the lease ends,
// so no statement stays active (and no read snapshot stays open) between calls.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(Statement&& o) noexcept;
    Statement& operator=(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    int step();
    void release();

private:
    friend class Connection;
    sqlite3_stmt* stmt_ = nullptr;
    CachedStatement* entry_ = nullptr;  // nullptr: a one-off statement, finalized at release
    Connection* owner_ = nullptr;
};

class Connection {
public:
    struct OpenResult {
        int code = 0;  // an ErrorCode
        std::string detail;
        int sqlite = 0;  // SQLite's result code, when it gave one
    };
    // Opens path. create: make the file when missing (readable and writable by its owner only).
    // readOnlyFallback: a file that can be read but not written is still opened, for reading.
    static OpenResult open(const std::string& path, bool create, bool readOnlyFallback, int busyMs,
                           std::shared_ptr<Connection>* out);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return db_; }
    const std::string& path() const { return path_; }
    bool readOnly() const { return readOnly_; }

    // SQLite's result code; *out is leased.
    int prepare(const std::string& sql, Statement* out);
    // Runs SQL without results (several statements allowed).
    int exec(const char* sql);
    std::string lastMessage() const;

    // What changes whenever the database changes, through this connection or any other: cached
    // rows are served only while it holds still.
    struct Stamp {
        std::int64_t dataVersion = -1;
        std::uint64_t local = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    Stamp stamp();
    // Only what this connection wrote (no query): cheaper, blind to other connections.
    Stamp localStamp() const { return Stamp{0, localWrites_}; }
    void noteWrite() { ++localWrites_; }

    // Explicit transactions (BEGIN IMMEDIATE).
    bool inTransaction() const;
    int begin(int timeoutMs, const void* owner);  // SQLite's result code
    int commit();
    int rollback();
    const void* transactionOwner() const { return txnOwner_; }
    // A transaction begun here that SQLite has already rolled back by itself (full disk, I/O error,
    // out of memory): every write until its commit or rollback fails, and so does the commit.
    bool txnLost() const { return txnBegun_ && !inTransaction(); }

    void setBusyTimeout(int ms);
    int busyTimeout() const { return busyMs_; }

    int instances = 0;  // open table instances using this connection
    bool accepted = false;  // the file was found to be this program's (see acceptFile)
    // Puts a writable connection in WAL mode with synchronous FULL, once. Called only after the file
    // is accepted: until then nothing is written to it, not even its journal mode.
    OpenResult prepareWrites();
    // Whether the connection still reaches the file at its path (not deleted or replaced).
    bool stillAtPath() const;

private:
    friend class Statement;
    Connection() = default;
    // Waits up to the limit for a lock another connection holds, telling the lock-wait observer.
    static int busyHandler(void* self, int count);
    void setWaitLimit(int ms);
    // A file read as immutable (no -wal when it was opened) is read through its WAL once another
    // instance has made one, between statements.
    void refreshReader();

    sqlite3* db_ = nullptr;
    std::string path_;
    bool readOnly_ = false;
    int busyMs_ = 0;
    unsigned long long device_ = 0, inode_ = 0;
    std::uint64_t localWrites_ = 0;
    const void* txnOwner_ = nullptr;
    bool txnBegun_ = false;
    bool immutable_ = false;
    bool writesReady_ = false;
    int leases_ = 0;  // statements leased and not released
    long long waitLimitMs_ = 0;
    std::chrono::steady_clock::time_point waitStart_;
    std::unordered_map<std::string, CachedStatement> cache_;  // node-based: entries never move
};

// A write of several statements as one: its own BEGIN IMMEDIATE, or a savepoint inside a
// transaction already open. Rolled back unless committed.
class WriteScope {
public:
    explicit WriteScope(Connection& c) : c_(c) {}
    ~WriteScope();
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    int begin();  // SQLite's result code
    int commit();

private:
    Connection& c_;
    bool active_ = false;
    bool nested_ = false;
};

inline constexpr int kDefaultBusyMs = 10000;

// Told, on the waiting thread, when a statement starts waiting for a file another connection or
// program holds locked (waiting true) and when that wait ends, so the user sees why nothing moves.
using LockWaitObserver = std::function<void(const std::string& path, bool waiting)>;
void SetLockWaitObserver(LockWaitObserver observer);

// The calling thread's connection to path, opened on first use.
Connection::OpenResult threadConnection(const std::string& path, bool create, bool readOnlyFallback, int busyMs,
                                        std::shared_ptr<Connection>* out);

// Closes the calling thread's connections (ReleaseThreadConnections).
void releaseThreadPool();

// Maps a SQLite result code to the driver's error code.
int mapSqliteError(int rc);

}  // namespace files
