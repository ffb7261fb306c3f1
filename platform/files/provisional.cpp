#include "platform/files/provisional.h"

#include <errno.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string_view>
#include <mutex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/files/connection.h"
#include "platform/files/file_name.h"
#include "platform/files/migration.h"
#include "platform/files/table_file_impl.h"

namespace files {
namespace {

constexpr std::string_view kLockPrefix = ".owner-";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kNewSuffix = ".new";  // a lock file being made, not yet locked

std::string lockPath(const std::string& folder, const std::string& owner) {
    return folder + "/" + std::string(kLockPrefix) + owner + std::string(kLockSuffix);
}

// Whether an owner name has the form this program gives them ("<pid>-<16 hex digits>"): only such
// a name, read from the database, is made into a path.
bool ownerNameValid(std::string_view owner) {
    const auto dash = owner.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 19 || owner.size() != dash + 17) return false;
    for (std::size_t i = 0; i < owner.size(); ++i) {
        const char ch = owner[i];
        const bool ok = i < dash ? (ch >= '0' && ch <= '9') : i == dash || (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f');
        if (!ok) return false;
    }
    return true;
}

// Removes a lock file no running program holds: it is locked here first, so one held is left.
void removeIfUnheld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
}

// The lock files of programs that have ended, in folder (a killed program leaves its own). A lock
// file appears under its name only once locked (it is made under another name and renamed), so
// one found unlocked belongs to no running program.
void removeStaleLocks(const std::string& folder) {
    const std::string madeSuffix = std::string(kLockSuffix) + std::string(kNewSuffix);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kLockPrefix, 0) != 0) continue;
        std::string_view owner = std::string_view(name).substr(kLockPrefix.size());
        for (std::string_view suffix : {kLockSuffix, std::string_view(madeSuffix)}) {
            if (owner.size() > suffix.size() && owner.substr(owner.size() - suffix.size()) == suffix &&
                ownerNameValid(owner.substr(0, owner.size() - suffix.size()))) {
                removeIfUnheld(it->path().string());
                break;
            }
        }
    }
}

// This program's owner name and, per folder, its lock file, held locked until the process ends
// (the files are removed at a normal end; after a crash, by the program that sweeps them). A child
// made by fork is a program of its own: it takes a new name and locks of its own.
class Owner {
public:
    static Owner& instance() {
        static Owner o;
        return o;
    }
    std::string name() {
        std::lock_guard lock(mutex_);
        renewAfterFork();
        return name_;
    }
    // Whether this program holds its lock in folder (made on first use).
    bool lockIn(const std::string& folder) {
        std::lock_guard lock(mutex_);
        renewAfterFork();
        auto it = locks_.find(folder);
        if (it == locks_.end()) it = locks_.emplace(folder, makeLock(folder)).first;
        return it->second >= 0;
    }
    // Once per folder and process: the lock files ended programs left behind go.
    void sweepLocksOnce(const std::string& folder) {
        {
            std::lock_guard lock(mutex_);
            renewAfterFork();
            if (!swept_.insert(folder).second) return;
        }
        removeStaleLocks(folder);
    }
    ~Owner() {
        std::lock_guard lock(mutex_);
        if (::getpid() != pid_) return;
        for (const auto& [folder, fd] : locks_)
            if (fd >= 0) {
                ::unlink(lockPath(folder, name_).c_str());
                ::close(fd);
            }
    }

private:
    Owner() { renew(); }
    // The lock file, locked before it takes its name; -1 when none can be had. A sweeper may remove
    // the file while it is being made (it is not locked yet): then it is made again.
    int makeLock(const std::string& folder) const {
        const std::string path = lockPath(folder, name_);
        const std::string made = path + std::string(kNewSuffix);
        for (int attempt = 0; attempt < 5; ++attempt) {
            const int fd = ::open(made.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0) {
                if (errno != EEXIST) return -1;
                ::unlink(made.c_str());  // this program's own name: no other program's file
                continue;
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::rename(made.c_str(), path.c_str()) == 0) return fd;
            ::close(fd);
        }
        return -1;
    }
    void renew() {
        pid_ = ::getpid();
        std::random_device rd;
        const unsigned long long salt = (static_cast<unsigned long long>(rd()) << 32) ^ rd();
        char buf[64];
        std::snprintf(buf, sizeof buf, "%ld-%016llx", static_cast<long>(pid_), salt);
        name_ = buf;
    }
    void renewAfterFork() {
        if (::getpid() == pid_) return;
        for (const auto& [folder, fd] : locks_)
            if (fd >= 0) ::close(fd);  // the parent's lock stays with the parent
        locks_.clear();
        swept_.clear();
        renew();
    }
    std::mutex mutex_;
    pid_t pid_ = 0;
    std::string name_;
    std::map<std::string, int> locks_;  // folder -> locked descriptor (-1: none could be had)
    std::set<std::string> swept_;       // folders whose stale lock files were removed
};

// Whether the owner's lock is still held by a running program. A lock file that is missing or that
// can be locked belongs to a program that has ended.
bool ownerRuns(const std::string& folder, const std::string& owner) {
    if (owner == Owner::instance().name()) return true;
    if (!ownerNameValid(owner)) return false;
    const int fd = ::open(lockPath(folder, owner).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

// The folder of the database file itself, symlinks resolved: every instance that reaches the file,
// by whatever path, looks for the owners' locks there.
std::string lockFolderOf(const Connection& c) {
    std::error_code ec;
    const auto resolved = std::filesystem::canonical(c.path(), ec);
    return folderOf(ec ? c.path() : resolved.string());
}

int bindText(sqlite3_stmt* st, int i, const std::string& s) {
    return sqlite3_bind_text64(st, i, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Runs one statement of the marks with text parameters and an optional id.
int runMarks(Connection& c, const std::string& sql, const std::vector<std::string>& texts, std::int64_t id = 0) {
    Statement st;
    int rc = c.prepare(sql, &st);
    if (rc != SQLITE_OK) return rc;
    int i = 1;
    for (const auto& t : texts) bindText(st.get(), i++, t);
    if (id) sqlite3_bind_int64(st.get(), i, id);
    rc = st.step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

}  // namespace

int addProvisional(TableFile& file) {
    TableFile::Impl& m = file.impl();
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    if (!Owner::instance().lockIn(lockFolderOf(*c))) return file.add();
    WriteScope w(*c);
    int rc = w.begin();
    if (rc == SQLITE_OK) rc = c->exec(kProvisionalTableSql);  // an outside writer may have dropped it
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "adding to " + m.schema->table());
    if (int e = file.add()) return e;
    const Position pos = file.position();
    rc = runMarks(*c, "INSERT OR REPLACE INTO _provisional (tbl, id, owner) VALUES (?1, ?3, ?2)", {m.schema->table(), Owner::instance().name()}, pos.id);
    if (rc == SQLITE_OK) rc = w.commit();
    if (rc != SQLITE_OK) {
        m.currentId = m.currentVersion = 0;  // nothing of it was kept
        return m.sqlFail(*c, rc, "adding to " + m.schema->table());
    }
    return m.ok();
}

int settleProvisional(TableFile& file, Position pos, std::int64_t expected) {
    TableFile::Impl& m = file.impl();
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    WriteScope w(*c);
    int rc = w.begin();
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "writing " + m.schema->table());
    if (int e = file.putAt(pos, expected)) return e;
    rc = runMarks(*c, "DELETE FROM _provisional WHERE tbl = ?1 AND id = ?2", {m.schema->table()}, pos.id);
    if (rc == SQLITE_OK) rc = w.commit();
    if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "writing " + m.schema->table());
    return m.ok();
}

void forgetProvisional(TableFile& file, Position pos) {
    TableFile::Impl& m = file.impl();
    std::shared_ptr<Connection> c;
    if (m.requireWritable(&c) != 0) return;
    runMarks(*c, "DELETE FROM _provisional WHERE tbl = ?1 AND id = ?2", {m.schema->table()}, pos.id);
}

int sweepProvisional(TableFile& file, int* removed) {
    if (removed) *removed = 0;
    TableFile::Impl& m = file.impl();
    std::shared_ptr<Connection> c;
    if (int e = m.requireWritable(&c)) return e;
    const std::string folder = lockFolderOf(*c);
    Owner::instance().sweepLocksOnce(folder);
    const std::string table = m.schema->table();
    std::vector<std::string> owners;
    {
        Statement st;
        if (c->prepare("SELECT DISTINCT owner FROM _provisional WHERE tbl = ?1", &st) != SQLITE_OK) return m.ok();  // none ever made
        bindText(st.get(), 1, table);
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            if (const auto* t = sqlite3_column_text(st.get(), 0)) owners.emplace_back(reinterpret_cast<const char*>(t));
        if (rc != SQLITE_DONE) return m.sqlFail(*c, rc, "reading the provisional records of " + table);
    }
    for (const auto& owner : owners) {
        if (ownerRuns(folder, owner)) continue;
        // A mark this program did not make (its owner has another form) is dropped; the record,
        // whatever it is, stays.
        const bool ours = ownerNameValid(owner);
        WriteScope w(*c);
        int rc = w.begin();
        if (rc == SQLITE_OK && ours)
            rc = runMarks(*c, "DELETE FROM " + m.schema->quotedTable() + " WHERE _id IN (SELECT id FROM _provisional WHERE tbl = ?1 AND owner = ?2)",
                          {table, owner});
        const int gone = rc == SQLITE_OK && ours ? sqlite3_changes(c->db()) : 0;
        if (rc == SQLITE_OK) rc = runMarks(*c, "DELETE FROM _provisional WHERE tbl = ?1 AND owner = ?2", {table, owner});
        if (rc == SQLITE_OK) rc = w.commit();
        if (rc != SQLITE_OK) return m.sqlFail(*c, rc, "removing the provisional records of " + table);
        if (removed) *removed += gone;
        // Marks of other tables still name the owner; with its lock file gone they count as ended too.
        if (ours) removeIfUnheld(lockPath(folder, owner));
    }
    return m.ok();
}

}  // namespace files
