// What the driver does when things go wrong around it: who may read new files, what an error tells
// the user, another writer's changes, a transaction SQLite gave up, reading another instance's WAL,
// and the provisional records of a program that was killed.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <functional>
#include <mutex>

#include "files_test_support.h"
#include "platform/files/connection.h"
#include "platform/files/provisional.h"

namespace filetest {
namespace {

using namespace files;

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<unsigned>(st.st_mode & 0777) : 0u;
}

// The calling thread's connection to path, as the driver uses it (for what only a test does to it).
std::shared_ptr<Connection> poolConnection(const std::string& path) {
    std::shared_ptr<Connection> c;
    EXPECT_EQ(threadConnection(path, false, false, kDefaultBusyMs, &c).code, 0);
    return c;
}

// A child process that runs body and reports what went wrong ("" when nothing); as another user
// than root when asked (root may write anything). to/from: pipes the body may talk through.
struct Child {
    pid_t pid = -1;
    int toChild[2] = {-1, -1};
    int fromChild[2] = {-1, -1};

    Child(bool asNobody, const std::function<std::string(int in, int out)>& body) {
        EXPECT_EQ(::pipe(toChild), 0);
        EXPECT_EQ(::pipe(fromChild), 0);
        pid = ::fork();
        if (pid != 0) {
            ::close(toChild[0]);
            ::close(fromChild[1]);
            return;
        }
        ::close(toChild[1]);
        ::close(fromChild[0]);
        std::string report;
        if (asNobody && ::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            report = "cannot drop root; ";
        else
            report = body(toChild[0], fromChild[1]);
        ReleaseThreadConnections();
        report = "report:" + report;
        (void)!::write(fromChild[1], report.data(), report.size());
        ::_exit(0);
    }
    void send(char c) const { (void)!::write(toChild[1], &c, 1); }
    char receive() const {
        char c = 0;
        return ::read(fromChild[0], &c, 1) == 1 ? c : '\0';
    }
    // Everything the child wrote until it ended; "" when it ended without a report.
    std::string finish() {
        ::close(toChild[1]);
        std::string out;
        char buf[512];
        for (ssize_t n; (n = ::read(fromChild[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
        ::close(fromChild[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return out;
    }
};

char waitFor(int in) {
    char c = 0;
    return ::read(in, &c, 1) == 1 ? c : '\0';
}
void tell(int out, char c) { (void)!::write(out, &c, 1); }

class FileFaults : public FilesTest {};

// New data files and their side files are the owner's alone; a file that exists keeps its mode.
TEST_F(FileFaults, NewFilesAreTheOwnersOnly) {
    const mode_t old = ::umask(022);
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
        for (const char* side : {"", "-wal", "-shm"}) EXPECT_EQ(modeOf(file("MEDS.sqlite") + side), 0600u) << "MEDS.sqlite" << side;
    }
    ReleaseThreadConnections();
    ASSERT_EQ(::chmod(file("MEDS.sqlite").c_str(), 0640), 0);
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("b", "Y", 0, 2)), 0);
        EXPECT_EQ(modeOf(file("MEDS.sqlite")), 0640u) << "an existing file keeps its mode";
    }
    ::umask(old);
}

// A database reached through a symlink, or an empty file left where it belongs, is made the
// owner's alone with its side files, as a new file is.
TEST_F(FileFaults, FilesTakenOverAreTheOwnersOnly) {
    const mode_t old = ::umask(022);
    struct Case {
        const char* what;
        std::function<std::string(const std::string& dir)> prepare;  // gives the file that holds the data
    } cases[] = {
        {"a symlink to a file not yet made",
         [](const std::string& dir) {
             std::filesystem::create_directory(dir + "/real");
             std::filesystem::create_symlink(dir + "/real/data.sqlite", dir + "/MEDS.sqlite");
             return dir + "/real/data.sqlite";
         }},
        {"an empty file",
         [](const std::string& dir) {
             std::ofstream(dir + "/MEDS.sqlite").flush();
             ::chmod((dir + "/MEDS.sqlite").c_str(), 0644);
             return dir + "/MEDS.sqlite";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) std::filesystem::remove_all(entry.path(), ec);
        const std::string data = c.prepare(dir_);
        {
            MedFile t{medTable()};
            ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
            ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
            for (const char* side : {"", "-wal", "-shm"}) EXPECT_EQ(modeOf(data + side), 0600u) << data << side;
        }
        ReleaseThreadConnections();
    }
    ::umask(old);
}

// A file error says what happened to which file and what may help; a wait on a locked file is told
// as it begins and when it ends.
TEST_F(FileFaults, ErrorsNameTheirCauseAndFile) {
    const std::string path = file("MEDS.sqlite");
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);

    // The disk is full: the database may grow no further.
    {
        auto c = poolConnection(path);
        ASSERT_EQ(c->exec("PRAGMA max_page_count = 1"), 0);  // never below its present size
        int e = 0;
        for (int i = 0; i < 200 && e == 0; ++i) e = t.add(med("filler", "Y", 0, 100 + i), std::string(190, 'x'));
        EXPECT_EQ(e, kDriverError);
        EXPECT_EQ(t.file.lastErrorCause(), "the disk that holds " + path + " is full; make room on it and try again");
        ASSERT_EQ(c->exec("PRAGMA max_page_count = 1073741823"), 0);
    }

    // Another program holds the file's write lock past the wait.
    {
        std::mutex m;
        std::vector<std::string> waits;
        SetLockWaitObserver([&](const std::string& p, bool waiting) {
            std::lock_guard lock(m);
            waits.push_back((waiting ? "waiting for " : "done with ") + p);
        });
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(t.file.begin(1), kTransactionTimeout);
        EXPECT_EQ(t.file.lastErrorCause(), "another program is using " + path + "; trying again may work");
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        SetLockWaitObserver(nullptr);
        EXPECT_EQ(waits, (std::vector<std::string>{"waiting for " + path, "done with " + path}));
        ASSERT_EQ(t.file.begin(1), 0) << "free again";
        ASSERT_EQ(t.file.rollback(), 0);
    }

    // Not a data file.
    {
        std::ofstream(file("junk.sqlite"), std::ios::binary) << std::string(4096, 'J');
        MedFile junk{medTable("junk")};
        EXPECT_EQ(junk.file.open(), kFileDamaged);
        EXPECT_EQ(junk.file.lastErrorCause(), file("junk.sqlite") + " is damaged or is not a data file");
    }

    // Errors that are no fault of the file need no such words.
    t.rec.tag = 0;
    EXPECT_EQ(t.file.getAt(Position{999}), kRecordNotFound);
    EXPECT_EQ(t.file.lastErrorCause(), "");
}

// Any change to a row, by the driver or another SQLite writer, moves its version on, so the next
// write over an older copy is refused; the driver's own writes move it by one and pass their check.
TEST_F(FileFaults, EveryUpdateIsSeenByTheNextWriteOverAnOlderCopy) {
    struct Case {
        const char* what;
        const char* sql;
        bool dropTriggerFirst;  // a file stored before the database moved versions itself (version 0)
    } cases[] = {
        {"another writer leaves the version alone", "UPDATE \"MEDS\" SET \"NAME\" = 'theirs'", false},
        {"another writer sets the version back", "UPDATE \"MEDS\" SET \"NAME\" = 'theirs', _version = 1", false},
        {"the same, on a file from before", "UPDATE \"MEDS\" SET \"NAME\" = 'theirs'", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(file("MEDS.sqlite"));
        ReleaseThreadConnections();
        {
            MedFile t{medTable()};
            ASSERT_EQ(t.openOrCreate(), 0);
            ASSERT_EQ(t.add(med("mine", "Y", 0, 1)), 0);
        }
        ReleaseThreadConnections();
        if (c.dropTriggerFirst) rawSql(file("MEDS.sqlite"), "DROP TRIGGER \"MEDS:version\"; PRAGMA user_version = 0");
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.file.next(), 0);
        ASSERT_EQ(t.file.put(), 0) << "version 1 to 2";
        ASSERT_EQ(t.file.put(), 0) << "its own writes pass their check: 2 to 3";
        EXPECT_EQ(t.file.version(), 3);
        rawSql(file("MEDS.sqlite"), c.sql);
        rt::assign(t.rec.name, "older copy");
        EXPECT_EQ(t.file.put(), kRecordChanged);
        EXPECT_EQ(rt::clip(t.rec.name), "theirs") << "the stored record is shown";
        EXPECT_EQ(t.file.put(), 0) << "a second write goes over the record as now stored";
    }
}

// When SQLite has rolled a transaction back by itself (after a full disk or an I/O error), what
// follows of that write fails, commits nothing on its own, and the commit reports the failure.
TEST_F(FileFaults, ATransactionSqliteRolledBackFailsToTheEnd) {
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.file.begin(1), 0);
    ASSERT_EQ(t.add(med("first", "Y", 0, 1)), 0);
    ASSERT_EQ(poolConnection(file("MEDS.sqlite"))->exec("ROLLBACK"), 0);  // as SQLite does after SQLITE_FULL
    EXPECT_EQ(t.add(med("second", "Y", 0, 2)), kDriverError);
    EXPECT_EQ(t.file.commit(), kDriverError);
    EXPECT_EQ(t.order(-1, 1), std::vector<int>{}) << "nothing of that write stays";
    ASSERT_EQ(t.add(med("later", "Y", 0, 3)), 0) << "the next write is a write of its own";
    EXPECT_EQ(t.order(-1, 1), std::vector<int>{3});
}

// A file that cannot be put in WAL mode is reported, never used in another journal mode.
TEST_F(FileFaults, AFileThatCannotBeInWalIsNotUsed) {
    rawSql(file("plain.sqlite"), "PRAGMA journal_mode = DELETE; CREATE TABLE t (x)");
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(file("plain.sqlite").c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM t", nullptr, nullptr, nullptr), SQLITE_OK);  // holds a shared lock
    std::shared_ptr<Connection> c;
    ASSERT_EQ(Connection::open(file("plain.sqlite"), false, false, 0, &c).code, 0) << "opening only reads";
    const auto r = c->prepareWrites();
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.detail.find("WAL"), std::string::npos) << r.detail;
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
    EXPECT_EQ(c->prepareWrites().code, 0) << "free, it is put in WAL";
}

// Without write access, a reader sees every committed record, also those still in another
// instance's WAL, whether that instance began writing before the reader opened the file or after;
// in a read-only folder the error of a writing open says so.
TEST_F(FileFaults, ReadOnlyAccessReadsThroughAnotherInstancesWal) {
    const std::string folder = dir_;
    auto reading = [folder](int in, int out) {
        std::string report;
        MedFile t{medTable()};
        if (t.file.open() != kAccessDenied) report += "a writing open was not refused; ";
        if (t.file.lastErrorCause() != "the folder " + folder + " is read-only, so " + folder + "/MEDS.sqlite can only be read")
            report += "cause: " + t.file.lastErrorCause() + "; ";
        if (t.file.open(OpenMode::ReadOnly) != 0) return report + "read-only open gave " + t.file.lastErrorText();
        for (char c = 'a'; c <= 'c'; ++c) {
            tell(out, c);
            const char got = waitFor(in);
            if (got == 'x') break;
            const std::size_t want = static_cast<std::size_t>(got - '0');
            const std::vector<int> seen = t.order(-1, 1);
            if (seen.size() != want)
                report += "read " + std::string(1, c) + " saw " + std::to_string(seen.size()) + " of " + std::to_string(want) + " (" +
                          t.file.lastErrorText() + "); ";
        }
        return report;
    };
    struct Case {
        const char* what;
        bool writerFirst;  // the other instance has written (a -wal exists) before the reader opens
    } cases[] = {{"a -wal before the reader opens", true}, {"no -wal until after the reader opened", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
        for (const char* side : {"", "-wal", "-shm"}) std::filesystem::remove(file("MEDS.sqlite") + side);
        {
            MedFile t{medTable()};
            ASSERT_EQ(t.openOrCreate(), 0);
        }
        ReleaseThreadConnections();  // checkpointed and closed: no -wal
        ASSERT_EQ(::chmod(file("MEDS.sqlite").c_str(), 0644), 0);  // others may read; its -wal and -shm follow
        // The other instance: a connection of its own (a child must not inherit one of the pool's).
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(file("MEDS.sqlite").c_str(), &writer), SQLITE_OK);
        registerCollations(writer);
        int tags = 0;
        auto add = [&] {
            const std::string sql = "INSERT INTO \"MEDS\" (\"NAME\", \"TAG\") VALUES ('in the wal', " + std::to_string(++tags) + ")";
            return sqlite3_exec(writer, sql.c_str(), nullptr, nullptr, nullptr);
        };
        ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint = 0", nullptr, nullptr, nullptr), SQLITE_OK);
        if (c.writerFirst) {
            ASSERT_EQ(add(), SQLITE_OK);
        }
        std::filesystem::permissions(dir_, std::filesystem::perms(0755));

        Child reader(true, reading);
        EXPECT_EQ(reader.receive(), 'a');
        reader.send(static_cast<char>('0' + tags));
        EXPECT_EQ(reader.receive(), 'b');
        ASSERT_EQ(add(), SQLITE_OK);
        ASSERT_EQ(add(), SQLITE_OK);
        EXPECT_TRUE(std::filesystem::exists(file("MEDS.sqlite-wal")));
        reader.send(static_cast<char>('0' + tags));
        EXPECT_EQ(reader.receive(), 'c');
        ASSERT_EQ(add(), SQLITE_OK);
        reader.send(static_cast<char>('0' + tags));
        EXPECT_EQ(reader.finish(), "report:");
        sqlite3_close(writer);
    }
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
}

// A provisional record of a program that was killed goes at the next sweep; one that another
// running program is still filling in stays, and so does every completed record.
TEST_F(FileFaults, ProvisionalRecordsOfAKilledProgramGoThoseOfARunningOneStay) {
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("ordinary", "Y", 0, 1)), 0);
    }
    ReleaseThreadConnections();
    // Each child adds a provisional record, completes a second one, says so and waits: the first is
    // killed there, the second runs on until told.
    auto inserting = [](int in, int out) {
        MedFile t{medTable()};
        if (t.file.open() != 0) return std::string("open failed; ");
        for (int tag : {10, 11}) {
            t.rec = med("provisional", "Y", 0, tag);
            if (addProvisional(t.file) != 0) return "add failed: " + t.file.lastErrorText();
        }
        const Position completed = t.file.position();
        t.rec = med("completed", "Y", 0, 11);
        if (settleProvisional(t.file, completed, t.file.version()) != 0) return "settle failed: " + t.file.lastErrorText();
        tell(out, 'a');
        waitFor(in);
        return std::string();
    };
    Child killed(false, inserting);
    ASSERT_EQ(killed.receive(), 'a');
    ::kill(killed.pid, SIGKILL);
    killed.finish();
    Child running(false, inserting);
    ASSERT_EQ(running.receive(), 'a');

    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0);
    EXPECT_EQ(t.order(-1, 1), (std::vector<int>{1, 10, 11, 10, 11}));
    int removed = -1;
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0) << t.file.lastErrorText();
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(t.order(-1, 1), (std::vector<int>{1, 11, 10, 11})) << "the killed program's blank record is gone";

    running.send('x');
    EXPECT_EQ(running.finish(), "report:");
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0);
    EXPECT_EQ(removed, 1) << "ended, its provisional record goes too";
    EXPECT_EQ(t.order(-1, 1), (std::vector<int>{1, 11, 11}));
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0);
    EXPECT_EQ(removed, 0);
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().rfind(".owner-", 0), std::string::npos) << "no lock file left: " << entry.path();
}


// Two instances reaching one file by different paths (a folder holding a symlink to it) look for
// each other's locks beside the file itself: the running one's provisional record stays. A FIFO
// under a lock file's name is looked at without waiting for a writer.
TEST_F(FileFaults, OwnersReachingOneFileThroughASymlinkSeeEachOthersLocks) {
    const std::string real = file("real"), other = file("other");
    std::filesystem::create_directory(real);
    std::filesystem::create_directory(other);
    std::filesystem::create_symlink("../real/MEDS.sqlite", other + "/MEDS.sqlite");
    SetDataFolder(real);
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("ordinary", "Y", 0, 1)), 0);
    }
    ReleaseThreadConnections();
    Child running(false, [real](int in, int out) {
        SetDataFolder(real);
        MedFile t{medTable()};
        if (t.file.open() != 0) return std::string("open failed; ");
        t.rec = med("provisional", "Y", 0, 10);
        if (addProvisional(t.file) != 0) return "add failed: " + t.file.lastErrorText();
        tell(out, 'a');
        waitFor(in);
        return std::string();
    });
    ASSERT_EQ(running.receive(), 'a');

    SetDataFolder(other);
    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0) << t.file.lastErrorText();
    int removed = -1;
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0) << t.file.lastErrorText();
    EXPECT_EQ(removed, 0) << "the other instance runs";
    EXPECT_EQ(t.order(-1, 1), (std::vector<int>{1, 10}));
    for (const auto& entry : std::filesystem::directory_iterator(other))
        EXPECT_EQ(entry.path().filename().string().rfind(".owner-", 0), std::string::npos) << "no lock beside the symlink: " << entry.path();

    // A mark of an owner whose lock file is a FIFO: no writer ever comes, and the sweep goes on.
    const std::string owner = "99999-0123456789abcdef";
    ASSERT_EQ(::mkfifo((real + "/.owner-" + owner + ".lock").c_str(), 0600), 0);
    rawSql(real + "/MEDS.sqlite", "INSERT INTO _provisional VALUES ('MEDS', 1, '" + owner + "')");
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0) << t.file.lastErrorText();
    EXPECT_EQ(removed, 1) << "no program holds that lock";
    running.send('x');
    EXPECT_EQ(running.finish(), "report:");
}

// At the first sweep in a folder, lock files no running program holds go (a killed program leaves
// its own behind); a held one stays. An owner read from the database names a file only when it
// has the program's own form, and the record of a mark in another form stays.
TEST_F(FileFaults, StaleLockFilesGoAndOwnerNamesAreChecked) {
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.add(med("kept", "Y", 0, 1)), 0);
    const std::string dead = file(".owner-12345-0123456789abcdef.lock");
    const std::string held = file(".owner-23456-fedcba9876543210.lock");
    const std::string halfMade = file(".owner-34567-00112233445566ff.lock.new");
    const std::string notOurs = file(".owner-notes.lock");
    for (const auto& f : {dead, held, halfMade, notOurs}) std::ofstream(f).flush();
    const int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    // A mark whose owner text leads out of the lock files' names.
    std::filesystem::create_directory(file(".owner-"));
    std::ofstream(file("victim.lock")) << "x";
    rawSql(file("MEDS.sqlite"),
           "CREATE TABLE IF NOT EXISTS _provisional (tbl TEXT NOT NULL, id INTEGER NOT NULL, owner TEXT NOT NULL, PRIMARY KEY (tbl, id));"
           "INSERT INTO _provisional SELECT name, 1, '/../victim' FROM sqlite_master WHERE type = 'table' AND name NOT LIKE '\\_%' ESCAPE '\\' "
           "AND name NOT LIKE 'sqlite%'");

    int removed = -1;
    ASSERT_EQ(sweepProvisional(t.file, &removed), 0) << t.file.lastErrorText();
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(t.order(-1, 1), std::vector<int>{1}) << "the record of a foreign mark stays";
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_FALSE(std::filesystem::exists(halfMade));
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_TRUE(std::filesystem::exists(notOurs));
    EXPECT_TRUE(std::filesystem::exists(file("victim.lock")));
    ::close(holder);
}

}  // namespace
}  // namespace filetest
