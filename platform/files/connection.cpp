#include "platform/files/connection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/files/collation.h"
#include "platform/files/errors.h"

namespace files {

// ------------------------------------------------------------------ waits on a locked file

namespace {

std::mutex gWaitMutex;
LockWaitObserver gWaitObserver;  // guarded by gWaitMutex
// The file this thread announced a wait on (connections and their waits belong to one thread).
thread_local std::string tWaitingFor;

void tellWait(const std::string& path, bool waiting) {
    LockWaitObserver observer;
    {
        std::lock_guard lock(gWaitMutex);
        observer = gWaitObserver;
    }
    if (observer) observer(path, waiting);
}

// Once the statement that waited returns, the wait the busy handler announced is over.
void endWait() {
    if (tWaitingFor.empty()) return;
    const std::string path = std::exchange(tWaitingFor, std::string());
    tellWait(path, false);
}

}  // namespace

void SetLockWaitObserver(LockWaitObserver observer) {
    std::lock_guard lock(gWaitMutex);
    gWaitObserver = std::move(observer);
}

int Connection::busyHandler(void* self, int count) {
    auto* c = static_cast<Connection*>(self);
    using namespace std::chrono;
    if (count == 0) c->waitStart_ = steady_clock::now();
    const long long waited = duration_cast<milliseconds>(steady_clock::now() - c->waitStart_).count();
    // Still locked after a first short retry: say so, however long that retry took on a busy
    // machine, so a wait that ends in a time-out is told as well.
    if (count >= 1 && tWaitingFor.empty()) {
        tWaitingFor = c->path_;
        tellWait(c->path_, true);
    }
    if (waited >= c->waitLimitMs_) return 0;  // SQLITE_BUSY: the caller reports the time-out
    const long long step = std::min(count < 4 ? 5LL : 50LL, c->waitLimitMs_ - waited);
    std::this_thread::sleep_for(milliseconds(std::max(1LL, step)));
    return 1;
}

void Connection::setWaitLimit(int ms) {
    waitLimitMs_ = ms < 0 ? 0 : ms;
    sqlite3_busy_handler(db_, &Connection::busyHandler, this);
}

// ------------------------------------------------------------------ Statement

Statement::~Statement() { release(); }

Statement::Statement(Statement&& o) noexcept
    : stmt_(std::exchange(o.stmt_, nullptr)), entry_(std::exchange(o.entry_, nullptr)), owner_(std::exchange(o.owner_, nullptr)) {}

Statement& Statement::operator=(Statement&& o) noexcept {
    if (this != &o) {
        release();
        stmt_ = std::exchange(o.stmt_, nullptr);
        entry_ = std::exchange(o.entry_, nullptr);
        owner_ = std::exchange(o.owner_, nullptr);
    }
    return *this;
}

int Statement::step() {
    const int rc = sqlite3_step(stmt_);
    endWait();
    return rc;
}

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
    if (owner_) --owner_->leases_;
    owner_ = nullptr;
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

std::string uriFor(const std::string& path, const char* query) {
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
    return out + query;
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

// The first column of a statement's first row ("" when it fails, SQLite's failure in *rc).
std::string pragmaText(sqlite3* db, const char* sql, int* rc = nullptr) {
    sqlite3_stmt* s = nullptr;
    std::string value;
    int r = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    if (r == SQLITE_OK) r = sqlite3_step(s);
    if (r == SQLITE_ROW) {
        if (const auto* t = sqlite3_column_text(s, 0)) value = reinterpret_cast<const char*>(t);
        r = SQLITE_OK;
    } else if (r == SQLITE_DONE) {
        r = SQLITE_OK;
    }
    sqlite3_finalize(s);
    if (rc && r != SQLITE_OK && *rc == SQLITE_OK) *rc = r;
    return value;
}

// A new database file is made here, readable and writable by its owner only: SQLite would make it
// 0644 less the umask, and its -wal, -shm and journal files take the database file's mode. No
// O_EXCL: through a symlink to a file not yet made, that would fail and leave SQLite to make the
// target. An empty file (one made by another tool, or by a start that stopped before its first
// write) is taken over as a new database, side files included; a file that holds data keeps its mode.
void makePrivate(const std::string& path, bool create) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return;  // SQLite's own open tells why
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
        if ((st.st_mode & 0077) != 0) (void)::fchmod(fd, 0600);
        for (const char* side : {"-wal", "-shm", "-journal"}) {
            const int sfd = ::open((path + side).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
            if (sfd < 0) continue;
            struct stat ss {};
            if (::fstat(sfd, &ss) == 0 && S_ISREG(ss.st_mode) && ss.st_uid == st.st_uid && (ss.st_mode & 0077) != 0) (void)::fchmod(sfd, 0600);
            ::close(sfd);
        }
    }
    ::close(fd);
}

// Opens path for reading only. mode=ro reads the -wal too, so commits another instance has not
// checkpointed yet are seen; it needs the -wal and -shm to exist or to be creatable. Without a -wal
// (nothing uncheckpointed) in a folder where they cannot be made, the file is read as immutable
// (*immutable set) until another instance makes one.
int openForReading(const std::string& path, Db* out, bool* immutable) {
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    for (const char* query : {"?mode=ro", "?mode=ro&immutable=1"}) {
        Db ro;
        int rc = sqlite3_open_v2(uriFor(path, query).c_str(), &ro.db, flags, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_extended_result_codes(ro.db, 1);
            rc = registerCollations(ro.db);
            if (rc == SQLITE_OK) rc = probe(ro.db);
        }
        if (rc == SQLITE_OK) {
            std::swap(out->db, ro.db);
            *immutable = std::string_view(query).find("immutable") != std::string_view::npos;
            return rc;
        }
        std::error_code ec;
        if (std::filesystem::exists(path + "-wal", ec) || ((rc & 0xFF) != SQLITE_CANTOPEN && (rc & 0xFF) != SQLITE_READONLY)) return rc;
    }
    return SQLITE_CANTOPEN;
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
    if (!exists || st.st_size == 0) makePrivate(path, create);

    Db db;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db.db, flags, nullptr);
    bool readingOnly = false, immutable = false;
    auto failure = [&](int code) -> OpenResult {
        std::string msg = db.db ? sqlite3_errmsg(db.db) : sqlite3_errstr(rc);
        return {code, path + ": " + msg, rc};
    };
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db.db, 1);
        sqlite3_busy_timeout(db.db, busyMs);
        rc = registerCollations(db.db);
        if (rc == SQLITE_OK) rc = probe(db.db);
    }
    // Only for missing permissions: a file another program holds locked is not read around its lock.
    if (rc != SQLITE_OK && exists && readOnlyFallback && ((rc & 0xFF) == SQLITE_CANTOPEN || (rc & 0xFF) == SQLITE_READONLY)) {
        // No write access to the file or its folder: it can still be read.
        Db ro;
        if (openForReading(path, &ro, &immutable) == SQLITE_OK) {
            std::swap(db.db, ro.db);
            rc = SQLITE_OK;
            readingOnly = true;
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
    c->readOnly_ = readingOnly || sqlite3_db_readonly(db.db, "main") == 1;
    c->immutable_ = immutable;
    c->db_ = db.release();
    c->setWaitLimit(busyMs);
    if (::stat(path.c_str(), &st) == 0) {
        c->device_ = static_cast<unsigned long long>(st.st_dev);
        c->inode_ = static_cast<unsigned long long>(st.st_ino);
    }
    *out = std::move(c);
    return {};
}

Connection::OpenResult Connection::prepareWrites() {
    if (readOnly_ || writesReady_) return {};
    // Saves survive a crash only in WAL with synchronous FULL: a file that refuses them is not used.
    // The first failure is what tells why (a full disk, a lock another program holds).
    int code = SQLITE_OK;
    std::string mode = pragmaText(db_, "PRAGMA journal_mode", &code);
    if (mode != "wal") mode = pragmaText(db_, "PRAGMA journal_mode=WAL", &code);
    pragmaText(db_, "PRAGMA synchronous=FULL", &code);
    const std::string sync = pragmaText(db_, "PRAGMA synchronous", &code);
    if (mode != "wal" || sync != "2") {
        const int base = code & 0xFF;
        return {base == SQLITE_BUSY || base == SQLITE_LOCKED ? kTransactionTimeout : kDriverError,
                path_ + ": cannot be put in WAL mode with synchronous FULL (journal mode \"" + mode + "\", synchronous " + sync + ")",
                code == SQLITE_OK ? SQLITE_ERROR : code};
    }
    writesReady_ = true;
    return {};
}

Connection::~Connection() {
    for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
    cache_.clear();
    if (db_) sqlite3_close_v2(db_);  // rolls back a transaction left open
}

void Connection::refreshReader() {
    std::error_code ec;
    if (!std::filesystem::exists(path_ + "-wal", ec)) return;
    Db fresh;
    bool stillImmutable = true;
    if (openForReading(path_, &fresh, &stillImmutable) != SQLITE_OK || stillImmutable) return;
    for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
    cache_.clear();
    sqlite3_close_v2(db_);
    db_ = fresh.release();
    immutable_ = false;
    setWaitLimit(busyMs_);
    ++localWrites_;  // what was read before may be out of date
}

int Connection::prepare(const std::string& sql, Statement* out) {
    out->release();
    if (immutable_ && leases_ == 0 && !inTransaction()) refreshReader();
    auto it = cache_.find(sql);
    if (it != cache_.end() && !it->second.leased) {
        it->second.leased = true;
        out->stmt_ = it->second.stmt;
        out->entry_ = &it->second;
        out->owner_ = this;
        ++leases_;
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
    out->owner_ = this;
    ++leases_;
    if (it == cache_.end()) {
        auto& entry = cache_[sql];
        entry.stmt = s;
        entry.leased = true;
        out->entry_ = &entry;
    }  // else: the cached one is in use further up the stack; this one is a one-off
    return SQLITE_OK;
}

int Connection::exec(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    endWait();
    return rc;
}

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
    setWaitLimit(timeoutMs);
    const int rc = exec("BEGIN IMMEDIATE");
    setWaitLimit(busyMs_);
    if (rc == SQLITE_OK) {
        txnOwner_ = owner;
        txnBegun_ = true;
    }
    return rc;
}

int Connection::commit() {
    // SQLite ends a transaction by itself after a full disk, an I/O error or a lack of memory: what
    // was written in it is gone, so the commit fails rather than commit nothing or half.
    int rc = txnLost() ? SQLITE_ABORT : exec("COMMIT");
    if (rc != SQLITE_OK && inTransaction()) exec("ROLLBACK");
    txnOwner_ = nullptr;
    txnBegun_ = false;
    noteWrite();
    return rc;
}

int Connection::rollback() {
    const int rc = inTransaction() ? exec("ROLLBACK") : SQLITE_OK;
    txnOwner_ = nullptr;
    txnBegun_ = false;
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
    setWaitLimit(ms);
}

// ------------------------------------------------------------------ WriteScope

int WriteScope::begin() {
    if (c_.txnLost()) return SQLITE_ABORT;  // never a transaction of its own inside a lost one
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
