#include "platform/files/connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <utility>

#include "platform/files/collation.h"
#include "platform/files/errors.h"

namespace files {

// ------------------------------------------------------------------ Statement

Statement::~Statement() { release(); }

Statement::Statement(Statement&& o) noexcept
    : stmt_(std::exchange(o.stmt_, nullptr)), entry_(std::exchange(o.entry_, nullptr)) {}

Statement& Statement::operator=(Statement&& o) noexcept {
    if (this != &o) {
        release();
        stmt_ = std::exchange(o.stmt_, nullptr);
        entry_ = std::exchange(o.entry_, nullptr);
    }
    return *this;
}

int Statement::step() { return sqlite3_step(stmt_); }

void Statement::release() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    if (entry_) {
        sqlite3_clear_bindings(stmt_);
        entry_->leased = false;
    } else {
        sqlite3_finalize(stmt_);
    }
    stmt_ = nullptr;
    entry_ = nullptr;
}

// ------------------------------------------------------------------ error mapping

int mapSqliteError(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE: return kNoError;
        case SQLITE_CONSTRAINT: return (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) ? kDuplicateKey : kDriverError;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return kTransactionTimeout;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return kFileDamaged;
        case SQLITE_READONLY: return kAccessDenied;
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN: return kAccessDenied;
        case SQLITE_NOTFOUND: return kFileNotFound;
        default: return kDriverError;
    }
}

// ------------------------------------------------------------------ Connection

namespace {

std::string uriFor(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string absolute = std::filesystem::absolute(path).string();
    std::string out = "file:";
    for (unsigned char c : absolute) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + "?immutable=1";
}

struct Db {
    sqlite3* db = nullptr;
    ~Db() {
        if (db) sqlite3_close_v2(db);
    }
    sqlite3* release() { return std::exchange(db, nullptr); }
};

// The first read checks the header: a file that is no database fails here, before anything writes.
int probe(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &s, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    sqlite3_finalize(s);
    return rc;
}

std::string journalMode(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    std::string mode;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        if (const auto* t = sqlite3_column_text(s, 0)) mode = reinterpret_cast<const char*>(t);
    sqlite3_finalize(s);
    return mode;
}

}  // namespace

Connection::OpenResult Connection::open(const std::string& path, bool create, bool readOnlyFallback, int busyMs,
                                        std::shared_ptr<Connection>* out) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return {kFileDamaged, path + " is a folder"};
    if (!exists) {
        std::error_code ec;
        const auto parent = std::filesystem::path(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) return {kPathNotFound, parent.string() + " does not exist"};
        if (!create) return {kFileNotFound, path + " does not exist"};
    }

    Db db;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db.db, flags, nullptr);
    bool immutable = false;
    auto failure = [&](int code) -> OpenResult {
        std::string msg = db.db ? sqlite3_errmsg(db.db) : sqlite3_errstr(rc);
        return {code, path + ": " + msg};
    };
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db.db, 1);
        sqlite3_busy_timeout(db.db, busyMs);
        rc = registerCollations(db.db);
        if (rc == SQLITE_OK) rc = probe(db.db);
    }
    // Only for missing permissions: a file another program holds locked is not read around its lock.
    if (rc != SQLITE_OK && exists && readOnlyFallback && ((rc & 0xFF) == SQLITE_CANTOPEN || (rc & 0xFF) == SQLITE_READONLY)) {
        // No write access to the file or its folder: a WAL file can still be read as immutable.
        Db ro;
        int rc2 = sqlite3_open_v2(uriFor(path).c_str(), &ro.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
        if (rc2 == SQLITE_OK) {
            sqlite3_extended_result_codes(ro.db, 1);
            rc2 = registerCollations(ro.db);
            if (rc2 == SQLITE_OK) rc2 = probe(ro.db);
        }
        if (rc2 == SQLITE_OK) {
            std::swap(db.db, ro.db);
            rc = SQLITE_OK;
            immutable = true;
        }
    }
    if (rc != SQLITE_OK) {
        const int base = rc & 0xFF;
        if (base == SQLITE_NOTADB || base == SQLITE_CORRUPT) return failure(kFileDamaged);
        if (base == SQLITE_CANTOPEN && !exists) return failure(kAccessDenied);
        if (base == SQLITE_BUSY || base == SQLITE_LOCKED) return failure(kAccessDenied);  // held by another program
        return failure(mapSqliteError(rc) == kDriverError ? kAccessDenied : mapSqliteError(rc));
    }

    std::shared_ptr<Connection> c(new Connection());
    c->path_ = path;
    c->busyMs_ = busyMs;
    c->readOnly_ = immutable || sqlite3_db_readonly(db.db, "main") == 1;
    c->db_ = db.release();
    if (::stat(path.c_str(), &st) == 0) {
        c->device_ = static_cast<unsigned long long>(st.st_dev);
        c->inode_ = static_cast<unsigned long long>(st.st_ino);
    }
    if (!c->readOnly_) {
        if (journalMode(c->db_) != "wal") sqlite3_exec(c->db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(c->db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    *out = std::move(c);
    return {};
}

Connection::~Connection() {
    for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
    cache_.clear();
    if (db_) sqlite3_close_v2(db_);  // rolls back a transaction left open
}

int Connection::prepare(const std::string& sql, Statement* out) {
    out->release();
    auto it = cache_.find(sql);
    if (it != cache_.end() && !it->second.leased) {
        it->second.leased = true;
        out->stmt_ = it->second.stmt;
        out->entry_ = &it->second;
        return SQLITE_OK;
    }
    sqlite3_stmt* s = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                                      it == cache_.end() ? SQLITE_PREPARE_PERSISTENT : 0, &s, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(s);
        return rc;
    }
    out->stmt_ = s;
    if (it == cache_.end()) {
        auto& entry = cache_[sql];
        entry.stmt = s;
        entry.leased = true;
        out->entry_ = &entry;
    }  // else: the cached one is in use further up the stack; this one is a one-off
    return SQLITE_OK;
}

int Connection::exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

std::string Connection::lastMessage() const { return db_ ? sqlite3_errmsg(db_) : std::string(); }

Connection::Stamp Connection::stamp() {
    Stamp s;
    s.local = localWrites_;
    Statement st;
    if (prepare("PRAGMA data_version", &st) == SQLITE_OK && st.step() == SQLITE_ROW)
        s.dataVersion = sqlite3_column_int64(st.get(), 0);
    else
        s.local = ++localWrites_;  // unknown: never matches an earlier stamp
    return s;
}

bool Connection::inTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

int Connection::begin(int timeoutMs, const void* owner) {
    sqlite3_busy_timeout(db_, timeoutMs < 0 ? 0 : timeoutMs);
    const int rc = exec("BEGIN IMMEDIATE");
    sqlite3_busy_timeout(db_, busyMs_);
    if (rc == SQLITE_OK) txnOwner_ = owner;
    return rc;
}

int Connection::commit() {
    int rc = exec("COMMIT");
    if (rc != SQLITE_OK && inTransaction()) exec("ROLLBACK");
    txnOwner_ = nullptr;
    noteWrite();
    return rc;
}

int Connection::rollback() {
    const int rc = inTransaction() ? exec("ROLLBACK") : SQLITE_OK;
    txnOwner_ = nullptr;
    noteWrite();
    return rc;
}

bool Connection::stillAtPath() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && static_cast<unsigned long long>(st.st_dev) == device_ &&
           static_cast<unsigned long long>(st.st_ino) == inode_;
}

void Connection::setBusyTimeout(int ms) {
    busyMs_ = ms;
    sqlite3_busy_timeout(db_, ms);
}

// ------------------------------------------------------------------ WriteScope

int WriteScope::begin() {
    nested_ = c_.inTransaction();
    const int rc = c_.exec(nested_ ? "SAVEPOINT files_write" : "BEGIN IMMEDIATE");
    active_ = rc == SQLITE_OK;
    return rc;
}

int WriteScope::commit() {
    if (!active_) return SQLITE_MISUSE;
    int rc = c_.exec(nested_ ? "RELEASE files_write" : "COMMIT");
    if (rc == SQLITE_OK) active_ = false;
    c_.noteWrite();
    return rc;
}

WriteScope::~WriteScope() {
    if (!active_) return;
    if (nested_) c_.exec("ROLLBACK TO files_write; RELEASE files_write");
    else if (c_.inTransaction()) c_.exec("ROLLBACK");
    c_.noteWrite();
}

// ------------------------------------------------------------------ the thread's pool

namespace {

struct Pool {
    std::map<std::string, std::shared_ptr<Connection>> connections;
};
thread_local Pool tPool;

}  // namespace

void releaseThreadPool() { tPool.connections.clear(); }

Connection::OpenResult threadConnection(const std::string& path, bool create, bool readOnlyFallback, int busyMs,
                                        std::shared_ptr<Connection>* out) {
    auto it = tPool.connections.find(path);
    if (it != tPool.connections.end()) {
        auto& c = it->second;
        // Unused connections are opened afresh when they could only read and writing is wanted, or
        // when their file was deleted or replaced meanwhile.
        const bool stale = c->instances == 0 && ((c->readOnly() && !readOnlyFallback) || !c->stillAtPath());
        if (!stale) {
            if (busyMs > c->busyTimeout()) c->setBusyTimeout(busyMs);
            *out = c;
            return {};
        }
        tPool.connections.erase(it);
    }
    std::shared_ptr<Connection> c;
    auto r = Connection::open(path, create, readOnlyFallback, busyMs, &c);
    if (r.code != 0) return r;
    tPool.connections[path] = c;
    *out = std::move(c);
    return {};
}

}  // namespace files
