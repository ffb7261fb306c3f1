// Which files the driver takes as its own: a file is read, and nothing in it is written, until it
// is found to be this program's (its application id, or for the earlier releases its tables); any
// other file keeps its bytes and gets no side files.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files_test_support.h"
#include "platform/files/file_check.h"
#include "platform/files/migration.h"

namespace filetest {
namespace {

using namespace files;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string sideFiles(const std::string& path) {
    std::string found;
    for (const char* side : {"-wal", "-shm", "-journal"})
        if (std::filesystem::exists(path + side)) found += side;
    return found;
}

long long pragmaOf(const std::string& path, const char* pragma) {
    sqlite3* db = nullptr;
    long long v = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, pragma, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return v;
}

class FileAcceptance : public FilesTest {
protected:
    // A file of this program with one row, left in rollback-journal mode so that reading it makes
    // no side files; then changed by sql.
    void programFile(const std::string& path, const std::string& sql) {
        {
            MedFile t{medTable()};
            ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
            ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
        }
        ReleaseThreadConnections();
        rawSql(path, "PRAGMA journal_mode = DELETE; " + sql);
    }
};

TEST_F(FileAcceptance, OnlyThisProgramsFilesAreChangedAndTheOthersAreLeftAsTheyAre) {
    const std::string path = file("MEDS.sqlite");
    enum class Made { Raw, Bytes, Program };
    struct Case {
        const char* what;
        Made made;
        std::string content;  // SQL (Raw, Program) or the file's bytes
        int open;             // what a writable open gives
        std::string words;    // in the cause or text of the refusal
        bool readable;        // a read-only open succeeds
    } cases[] = {
        {"another program's file", Made::Raw, "CREATE TABLE invoices (id INTEGER PRIMARY KEY, total REAL); INSERT INTO invoices VALUES (1, 9.5)",
         kInvalidRecordDeclaration, "is not a data file of this program", false},
        {"another program's file with a table of the same name", Made::Raw,
         "PRAGMA application_id = 1234; CREATE TABLE MEDS (_id INTEGER PRIMARY KEY, _version INTEGER)", kInvalidRecordDeclaration,
         "is not a data file of this program", false},
        {"a table that does not match", Made::Raw, "CREATE TABLE MEDS (_id INTEGER PRIMARY KEY, _version INTEGER NOT NULL DEFAULT 1, other TEXT)",
         kInvalidRecordDeclaration, "holds a table that does not match", false},
        {"a newer version", Made::Program, "PRAGMA user_version = " + std::to_string(kFileVersion + 1), kAccessDenied,
         "was written by a newer version of this program; it is opened read-only", true},
        {"garbage", Made::Bytes, std::string("SQLite format 3\0", 16) + std::string(3000, '\x5a'), kFileDamaged, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path);
        if (c.made == Made::Bytes) std::ofstream(path, std::ios::binary) << c.content;
        else if (c.made == Made::Raw) rawSql(path, c.content);
        else programFile(path, c.content);
        const std::string before = bytesOf(path);
        ASSERT_EQ(sideFiles(path), "");
        {
            MedFile t{medTable()};
            EXPECT_EQ(t.file.open(), c.open) << t.file.lastErrorText();
            const std::string said = t.file.lastErrorText() + " / " + t.file.lastErrorCause();
            EXPECT_NE(said.find(c.words), std::string::npos) << said;
            EXPECT_NE(said.find(path), std::string::npos) << "the file is named: " << said;
            EXPECT_NE(t.file.create(), 0) << "nothing is added to it";
            EXPECT_NE(t.file.buildKeys(), 0);
            EXPECT_EQ(t.file.open(OpenMode::ReadOnly) == 0, c.readable) << t.file.lastErrorText();
            if (c.readable) {
                EXPECT_EQ(t.order(kByName, 1), std::vector<int>{1});
                t.rec = med("b", "Y", 0, 2);
                EXPECT_EQ(t.file.add(), kReadOnlyFile);
                EXPECT_NE(t.file.lastErrorCause().find("was written by a newer version"), std::string::npos) << "a refused save says why";
            }
        }
        ReleaseThreadConnections();
        EXPECT_EQ(bytesOf(path) == before, true) << "its bytes are as they were";
        EXPECT_EQ(sideFiles(path), "");
    }
}

// An empty file is taken over as a new one; a file of the earlier releases (no application id) is
// accepted by its tables and carries the id once it is migrated.
TEST_F(FileAcceptance, AnEmptyFileAndAnEarlierReleasesFileAreTaken) {
    const std::string path = file("MEDS.sqlite");
    struct Case {
        const char* what;
        bool empty;
        std::size_t rows;
    } cases[] = {{"empty", true, 0}, {"an earlier release's", false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path);
        if (c.empty) std::ofstream(path, std::ios::binary).flush();
        else
            programFile(path, "PRAGMA application_id = 0; PRAGMA user_version = 0; "
                              "CREATE TABLE OTHER (_id INTEGER PRIMARY KEY, _version INTEGER NOT NULL DEFAULT 1, X TEXT)");
        {
            MedFile t{medTable()};
            ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
            EXPECT_EQ(t.order(kByName, 1).size(), c.rows);
        }
        ReleaseThreadConnections();
        EXPECT_EQ(pragmaOf(path, "PRAGMA application_id"), kApplicationId);
        EXPECT_EQ(pragmaOf(path, "PRAGMA user_version"), kFileVersion);
    }
}

}  // namespace
}  // namespace filetest
