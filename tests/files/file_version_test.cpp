// The stored form's version: a file of the first releases is migrated once and keeps its rows, a
// file of a newer version is read and never changed, and a first start that fails says why.
#include <sys/stat.h>

#include <map>

#include "files_test_support.h"
#include "platform/files/migration.h"
#include "platform/files/record_view.h"

namespace filetest {
namespace {

using namespace files;

// One value from a plain connection (collations registered): the first column of the first row.
std::string rawValue(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value = "(none)";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK && registerCollations(db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            value = sqlite3_column_text(st, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) : "";
        else
            value = std::string("(error) ") + sqlite3_errmsg(db);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return value;
}

class FileVersion : public FilesTest {};

// The tags of the rows named "a", in the active key's order, through a view that pins the name.
std::vector<int> TagsNamedA(MedFile& t) {
    files::RecordView v(t.file, kByActive);
    v.setConditions({{1, files::FieldCondition::Op::Equal, []() -> std::optional<files::KeyValue> { return std::string("a"); }}});
    std::vector<int> tags;
    if (v.reset() != 0) return tags;
    while (v.next() == 0) tags.push_back(t.tag());
    return tags;
}

// A file as the first releases stored it (version 0): the table, some of its indexes, the version
// trigger, and a kept sum of the old kind, partly there. The first writable open migrates it once;
// every row stays, and the sum, the keys and the marks are as a file made now has them.
TEST_F(FileVersion, AFileOfTheFirstReleasesIsMigratedOnceAndKeepsItsRows) {
    const std::string path = file("MEDS.sqlite");
    rawSql(path, R"sql(
CREATE TABLE "MEDS" (_id INTEGER PRIMARY KEY AUTOINCREMENT, _version INTEGER NOT NULL DEFAULT 1, "NAME" TEXT NOT NULL DEFAULT '', "ACTIVE" TEXT NOT NULL DEFAULT '', "DATE" INTEGER NOT NULL DEFAULT 0, "TIME" INTEGER NOT NULL DEFAULT 0, "QTY" INTEGER NOT NULL DEFAULT 0, "COST" INTEGER NOT NULL DEFAULT 0, "REFILLS" REAL NOT NULL DEFAULT 0, "CODE" TEXT NOT NULL DEFAULT '', "FLAG" INTEGER NOT NULL DEFAULT 0, "TAG" INTEGER NOT NULL DEFAULT 0, "NOTES" TEXT NOT NULL DEFAULT '');
CREATE INDEX "MEDS:MED:ByName" ON "MEDS" ("NAME" COLLATE CP1252_NOCASE, "ACTIVE" COLLATE CP1252_NOCASE DESC, "DATE" DESC) WHERE ("NAME" <> '' OR "ACTIVE" <> '' OR "DATE" <> 0);
CREATE INDEX "MEDS:MED:ByDate" ON "MEDS" ("DATE", "TIME") WHERE ("DATE" <> 0 OR "TIME" <> 0);
CREATE INDEX "MEDS:MED:Exact" ON "MEDS" ("NAME" COLLATE CP1252_EXACT);
CREATE TRIGGER "MEDS:version" AFTER UPDATE ON "MEDS" FOR EACH ROW WHEN NEW._version <= OLD._version BEGIN UPDATE "MEDS" SET _version = OLD._version + 1 WHERE _id = NEW._id; END;
CREATE TABLE _kept_sums (name TEXT PRIMARY KEY, definition TEXT NOT NULL, total INTEGER NOT NULL, odd INTEGER NOT NULL);
CREATE TRIGGER "MEDS:ActiveCost:insert" AFTER INSERT ON "MEDS" FOR EACH ROW WHEN (NEW."ACTIVE" = 'Y' COLLATE BINARY) BEGIN UPDATE _kept_sums SET total = total + (CASE WHEN (NEW."ACTIVE" = 'Y' COLLATE BINARY) AND (typeof(NEW."COST") = 'integer' AND NEW."COST" BETWEEN -2147483647 AND 2147483647) THEN NEW."COST" ELSE 0 END), odd = odd + (CASE WHEN (NEW."ACTIVE" = 'Y' COLLATE BINARY) AND NEW."COST" IS NOT NULL AND NOT (typeof(NEW."COST") = 'integer' AND NEW."COST" BETWEEN -2147483647 AND 2147483647) THEN 1 ELSE 0 END) WHERE name = 'MEDS:ActiveCost'; END;
INSERT INTO _kept_sums VALUES ('MEDS:ActiveCost', 'as the first releases made it', 5, 0);
INSERT INTO MEDS (NAME, ACTIVE, COST, TAG, CODE) VALUES ('Cc', 'Y', 5, 1, 'c1'), ('aa', 'Y ', 70, 2, 'a1'), ('Bb', 'N', 900, 3, 'b1');
)sql");
    ASSERT_EQ(rawValue(path, "PRAGMA user_version"), "0");

    const auto desc = keptTable();
    std::string schemaAfter;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first open" : "second open");
        {
            MedFile m(desc);
            ASSERT_EQ(m.file.open(), 0) << m.file.lastErrorText();
            EXPECT_EQ(m.order(kByName, 1), (std::vector<int>{2, 3, 1})) << "every row, in key order";
            EXPECT_EQ(m.order(kByCode, 1), (std::vector<int>{2, 3, 1})) << "a missing key was made";
            std::int64_t sum = -1;
            ASSERT_EQ(m.file.keptSum("ActiveCost", &sum, nullptr), 0);
            EXPECT_EQ(sum, 75);
        }
        ReleaseThreadConnections();
        EXPECT_EQ(rawValue(path, "PRAGMA user_version"), std::to_string(kFileVersion));
        EXPECT_EQ(rawValue(path, "SELECT total FROM _kept_sums WHERE name = 'MEDS:ActiveCost'"), "75") << "the kept row itself";
        EXPECT_EQ(rawValue(path, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), "4");
        EXPECT_EQ(rawValue(path, "SELECT count(*) FROM sqlite_master WHERE name = '_provisional'"), "1");
        if (run == 0) schemaAfter = rawValue(path, "PRAGMA schema_version");
        else EXPECT_EQ(rawValue(path, "PRAGMA schema_version"), schemaAfter) << "nothing made again";
    }
    // The version trigger is in place: another writer's update moves the version on.
    rawSql(path, "UPDATE MEDS SET QTY = 1 WHERE TAG = 1");
    EXPECT_EQ(rawValue(path, "SELECT _version FROM MEDS WHERE TAG = 1"), "2");
}

// A file made by a newer version of the program is read, never written: a writable open is refused
// with words that say why, and nothing in the file changes.
TEST_F(FileVersion, AFileOfANewerVersionIsReadAndNeverChanged) {
    const std::string path = file("MEDS.sqlite");
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    }
    ReleaseThreadConnections();
    ASSERT_EQ(rawValue(path, "PRAGMA user_version"), std::to_string(kFileVersion)) << "a new file is made at the present version";
    rawSql(path, "PRAGMA user_version = " + std::to_string(kFileVersion + 1) + "; DROP TRIGGER \"MEDS:version\"");
    const std::string schema = rawValue(path, "PRAGMA schema_version");

    const auto desc = keptTable();  // this program would add a kept sum
    MedFile t{desc};
    for (auto mode : {OpenMode::SharedReadWrite, OpenMode::DenyWrite}) {
        EXPECT_EQ(t.file.open(mode), kAccessDenied);
        EXPECT_EQ(t.file.lastErrorCause(), newerFileCause(path));
    }
    EXPECT_EQ(t.file.create(), kAccessDenied);
    EXPECT_EQ(t.file.buildKeys(), kAccessDenied);
    ASSERT_EQ(t.file.open(OpenMode::ReadOnly), 0);
    EXPECT_EQ(t.order(kByName, 1), std::vector<int>{1});
    std::int64_t sum = -1;
    ASSERT_EQ(t.file.keptSum("ActiveCost", &sum, nullptr), 0);
    EXPECT_EQ(sum, 0);
    t.file.close();
    ReleaseThreadConnections();
    EXPECT_EQ(rawValue(path, "PRAGMA schema_version"), schema);
    EXPECT_EQ(rawValue(path, "PRAGMA user_version"), std::to_string(kFileVersion + 1));
}

// A file of version 1 has no lookups: read as it is, it lists its rows through the keys and stays
// version 1; the first writable open makes the lookups over the rows there, once.
TEST_F(FileVersion, AFileOfVersion1GainsItsLookupsAtTheFirstWritableOpen) {
    const std::string path = file("MEDS.sqlite");
    const auto desc = lookupTable();
    {
        MedFile t{desc};
        ASSERT_EQ(t.openOrCreate(), 0);
        for (int i = 1; i <= 3; ++i) ASSERT_EQ(t.add(med(i == 2 ? "b" : "a", "Y", 0, i)), 0);
    }
    ReleaseThreadConnections();
    const std::string lookupCount = "SELECT count(*) FROM sqlite_master WHERE name = 'MEDS:MED:NameLookup'";
    ASSERT_EQ(rawValue(path, lookupCount), "1") << "a new file has its lookups";
    rawSql(path, "DROP INDEX \"MEDS:MED:NameLookup\"; PRAGMA user_version = 1");

    for (auto mode : {OpenMode::ReadOnly, OpenMode::SharedReadWrite}) {
        SCOPED_TRACE(mode == OpenMode::ReadOnly ? "read only" : "writable");
        MedFile t{desc};
        ASSERT_EQ(t.file.open(mode), 0) << t.file.lastErrorText();
        EXPECT_EQ(TagsNamedA(t), (std::vector<int>{1, 3}));
        t.file.close();
        ReleaseThreadConnections();
        const bool migrated = mode != OpenMode::ReadOnly;
        EXPECT_EQ(rawValue(path, "PRAGMA user_version"), migrated ? std::to_string(kFileVersion) : "1");
        EXPECT_EQ(rawValue(path, lookupCount), migrated ? "1" : "0");
    }
}

// A lookup stored in an earlier form (fewer fields than declared now) is made again, once, at the
// first writable open; reading stays right meanwhile and after, and a lookup already in its
// present form is left as it stands.
TEST_F(FileVersion, ALookupStoredInAnEarlierFormIsMadeAgainOnce) {
    const std::string path = file("MEDS.sqlite");
    static const rt::KeyDesc wider[] = {{"MED:BYNAMELOOKUP", "MED:NameLookup", {{1}, {2, true}}}};
    rt::TableDesc desc = medTable();
    desc.lookups = wider;
    {
        MedFile t{desc};
        ASSERT_EQ(t.openOrCreate(), 0);
        for (int i = 1; i <= 3; ++i) ASSERT_EQ(t.add(med(i == 2 ? "b" : "a", "Y", 0, i)), 0);
    }
    ReleaseThreadConnections();
    const std::string storedSql = "SELECT sql FROM sqlite_master WHERE name = 'MEDS:MED:NameLookup'";
    const std::string present = rawValue(path, storedSql);
    ASSERT_NE(present.find("\"ACTIVE\""), std::string::npos) << present;
    rawSql(path, "DROP INDEX \"MEDS:MED:NameLookup\"; CREATE INDEX \"MEDS:MED:NameLookup\" ON \"MEDS\" (\"NAME\" COLLATE CP1252_NOCASE); "
                 "PRAGMA user_version = 2");
    const std::string earlier = rawValue(path, storedSql);

    for (auto mode : {OpenMode::ReadOnly, OpenMode::SharedReadWrite, OpenMode::SharedReadWrite}) {
        MedFile t{desc};
        ASSERT_EQ(t.file.open(mode), 0) << t.file.lastErrorText();
        EXPECT_EQ(TagsNamedA(t), (std::vector<int>{1, 3}));
        t.file.close();
        ReleaseThreadConnections();
        const bool migrated = mode != OpenMode::ReadOnly;
        EXPECT_EQ(rawValue(path, "PRAGMA user_version"), migrated ? std::to_string(kFileVersion) : "2");
        EXPECT_EQ(rawValue(path, storedSql), migrated ? present : earlier);
    }
}

// The migration of a file of two tables upgrades each, whichever is opened first: the file is
// stamped at the first writable open, the other table gains its lookups when it is opened, once.
TEST_F(FileVersion, AnOlderFileOfTwoTablesIsUpgradedThroughEitherTable) {
    const std::string path = file("support.sqlite");
    auto inSupport = [](const char* name) {
        rt::TableDesc d = medTable(name);
        d.lookups = kMedLookups;
        return d;
    };
    const auto doctors = inSupport("support\\!doctors"), drugs = inSupport("support\\!drugs");
    for (const auto* d : {&doctors, &drugs}) {
        MedFile t{*d};
        ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
        ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    }
    ReleaseThreadConnections();
    const auto lookupOf = [](const char* table) {
        return "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = '" + std::string(table) + ":MED:NameLookup'";
    };
    rawSql(path, "DROP INDEX \"doctors:MED:NameLookup\"; DROP INDEX \"drugs:MED:NameLookup\"; PRAGMA user_version = 1");

    for (const auto* d : {&drugs, &doctors, &drugs}) {
        MedFile t{*d};
        ASSERT_EQ(t.file.open(), 0) << t.file.lastErrorText();
        EXPECT_EQ(t.order(kByName, 1), std::vector<int>{1});
    }
    ReleaseThreadConnections();
    EXPECT_EQ(rawValue(path, "PRAGMA user_version"), std::to_string(kFileVersion));
    EXPECT_EQ(rawValue(path, lookupOf("drugs")), "1") << "the table opened first";
    EXPECT_EQ(rawValue(path, lookupOf("doctors")), "1") << "the other table";
    EXPECT_EQ(rawValue(path, "SELECT count(*) FROM _pending_upgrades"), "0") << "each upgraded once";
}

// Every connection opened while it is set may grow its database to one page only: a disk that is
// full from the first start on.
int LimitToOnePage(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
    return SQLITE_OK;
}

// What fails at the very first start says what happened to which file, as later failures do.
TEST_F(FileVersion, FaultsAtTheFirstStartNameTheirCauseAndFile) {
    const std::string path = file("MEDS.sqlite");
    ASSERT_EQ(sqlite3_auto_extension(reinterpret_cast<void (*)()>(&LimitToOnePage)), SQLITE_OK);
    {
        MedFile t{medTable()};
        EXPECT_EQ(t.openOrCreate(), kDriverError);
        EXPECT_EQ(t.file.lastErrorCause(), "the disk that holds " + path + " is full; make room on it and try again")
            << t.file.lastErrorText();
    }
    ReleaseThreadConnections();
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&LimitToOnePage));
    {
        MedFile t{medTable()};  // room again: the start that failed left nothing in the way
        ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
        ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    }
    ReleaseThreadConnections();
    SetDataFolder(dir_ + "/missing");
    MedFile t{medTable()};
    EXPECT_EQ(t.openOrCreate(), kPathNotFound);
    EXPECT_EQ(t.file.lastErrorCause(), "the folder that should hold " + dir_ + "/missing/MEDS.sqlite does not exist");
}

}  // namespace
}  // namespace filetest
