// The collations built as a loadable SQLite extension: with it, a plain SQLite connection (the
// sqlite3 shell) can check the data files and write to them, and the program reads what it wrote.
#include "files_test_support.h"

namespace filetest {
namespace {

using namespace files;

class SqliteExtension : public FilesTest {};

TEST_F(SqliteExtension, APlainConnectionChecksAndWritesTheFiles) {
    const std::string path = file("MEDS.sqlite");
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("alpha", "Y", ymd(2024, 1, 2), 1, 0, "A1")), 0);
        ASSERT_EQ(t.add(med(rt::utf8ToCp1252("\xC3\x89" "clair").value_or(""), "N", 0, 2, 0, "E1")), 0);
        ASSERT_EQ(t.add(med("Charlie", "Y", 0, 3, 0, "C1")), 0);
    }
    ReleaseThreadConnections();

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    auto one = [&](const char* sql) {
        sqlite3_stmt* st = nullptr;
        std::string value;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        else
            value = std::string("(error) ") + sqlite3_errmsg(db);
        sqlite3_finalize(st);
        return value;
    };
    EXPECT_NE(one("PRAGMA integrity_check"), "ok") << "without the extension the keys cannot be checked";
    ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 1, nullptr), SQLITE_OK);
    char* error = nullptr;
    ASSERT_EQ(sqlite3_load_extension(db, PRESCRIPTS_COLLATIONS_EXTENSION, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    EXPECT_EQ(one("PRAGMA integrity_check"), "ok");
    for (const char* sql : {"INSERT INTO MEDS (NAME, ACTIVE, TAG, CODE) VALUES ('BRAVO', 'Y', 4, 'b1')", "DELETE FROM MEDS WHERE TAG = 3",
                            "REINDEX"})
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
    EXPECT_EQ(one("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(sqlite3_exec(db, "INSERT INTO MEDS (NAME, CODE) VALUES ('x', 'A1 ')", nullptr, nullptr, nullptr), SQLITE_CONSTRAINT)
        << "the unique key compares as the program does: case folded, trailing blanks ignored";
    sqlite3_close(db);

    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0) << t.file.lastErrorText();
    EXPECT_EQ(t.order(kByName, 1), (std::vector<int>{1, 4, 2})) << "the shell's row in its place";
    EXPECT_EQ(t.order(kByCode, 1), (std::vector<int>{1, 4, 2}));
}

}  // namespace
}  // namespace filetest
