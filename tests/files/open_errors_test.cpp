// Names, creation and the errors of opening: missing, damaged, not writable, not matching.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "files_test_support.h"
#include "platform/files/file_name.h"

namespace filetest {
namespace {

using namespace files;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

TEST(FileNames, MapToDatabaseAndTable) {
    struct Case {
        const char* name;
        const char* path;
        const char* table;
    } cases[] = {
        {"PRESCRIP", "/d/PRESCRIP.sqlite", "PRESCRIP"},
        {"support\\!doctors", "/d/support.sqlite", "doctors"},
        {"Formats.FDB", "/d/Formats.FDB", "Formats"},
        {"sub\\dir\\x\\!t", "/d/sub/dir/x.sqlite", "t"},
        {"/abs/y", "/abs/y.sqlite", "y"},
    };
    for (const auto& c : cases) {
        const auto p = resolveFileName(c.name, "/d");
        ASSERT_TRUE(p) << c.name;
        EXPECT_EQ(p->path, c.path) << c.name;
        EXPECT_EQ(p->table, c.table) << c.name;
    }
    for (const char* bad : {"", "  ", "support\\!", "dir\\"}) EXPECT_FALSE(resolveFileName(bad, "/d")) << bad;
}

class Opening : public FilesTest {};

TEST_F(Opening, MissingFileThenCreateThenTablesOfOneFile) {
    MedFile doctors{medTable("support\\!doctors")};
    MedFile drugs{medTable("support\\!drugs")};
    EXPECT_EQ(doctors.file.path(), file("support.sqlite"));
    EXPECT_EQ(doctors.file.open(), kFileNotFound);
    EXPECT_FALSE(doctors.file.isOpen());
    ASSERT_EQ(doctors.file.create(), 0) << doctors.file.lastErrorText();
    ASSERT_EQ(doctors.file.open(), 0);
    EXPECT_EQ(doctors.file.open(), kFileAlreadyOpen);
    // The file exists now, the second table not yet.
    EXPECT_EQ(drugs.file.open(), kFileNotFound);
    ASSERT_EQ(drugs.openOrCreate(), 0);
    ASSERT_EQ(doctors.add(med("Dr A", "Y", 0, 1)), 0);
    ASSERT_EQ(drugs.add(med("Drug B", "Y", 0, 2)), 0);
    // create() keeps an existing table as it is.
    ASSERT_EQ(doctors.file.create(), 0);
    std::int64_t n = 0;
    ASSERT_EQ(doctors.file.records(&n), 0);
    EXPECT_EQ(n, 1);

    // One transaction spans the file's tables on this thread.
    ASSERT_EQ(doctors.file.begin(1), 0);
    EXPECT_TRUE(drugs.file.inTransaction());
    EXPECT_EQ(drugs.file.begin(1), kTransactionActive);
    ASSERT_EQ(doctors.add(med("Dr C", "Y", 0, 3)), 0);
    ASSERT_EQ(drugs.add(med("Drug D", "Y", 0, 4)), 0);
    ASSERT_EQ(drugs.file.rollback(), 0);
    EXPECT_EQ(doctors.order(-1, 1), std::vector<int>{1});
    EXPECT_EQ(drugs.order(-1, 1), std::vector<int>{2});
}

TEST_F(Opening, MissingFolderIsPathNotFound) {
    SetDataFolder(dir_ + "/nowhere");
    MedFile t{medTable()};
    EXPECT_EQ(t.file.open(), kPathNotFound);
    EXPECT_EQ(t.file.create(), kPathNotFound);
}

TEST_F(Opening, NotADatabaseIsReportedAndLeftUntouched) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"text", "These are my notes, not a database.\n"},
        {"zeros", std::string(8192, '\0')},
        {"header only", std::string("SQLite format 3\0", 16) + std::string(200, '\x7f')},
    };
    for (const auto& c : cases) {
        spit(file("MEDS.sqlite"), c.bytes);
        MedFile t{medTable()};
        EXPECT_EQ(t.file.open(), kFileDamaged) << c.what;
        EXPECT_FALSE(t.file.lastErrorText().empty());
        EXPECT_EQ(t.file.create(), kFileDamaged) << c.what;
        EXPECT_EQ(t.file.open(OpenMode::ReadOnly), kFileDamaged) << c.what;
        EXPECT_EQ(slurp(file("MEDS.sqlite")), c.bytes) << c.what;
        EXPECT_FALSE(std::filesystem::exists(file("MEDS.sqlite-wal"))) << c.what;
        ReleaseThreadConnections();
    }
}

TEST_F(Opening, DamagedPagesFailReadsWithoutCrashing) {
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.file.begin(5), 0);
        for (int i = 1; i <= 2000; ++i) ASSERT_EQ(t.add(med("name " + std::to_string(i), "Y", ymd(2024, 1, 1), i)), 0);
        ASSERT_EQ(t.file.commit(), 0);
    }
    ReleaseThreadConnections();  // checkpoints the WAL into the file
    std::string bytes = slurp(file("MEDS.sqlite"));
    ASSERT_GT(bytes.size(), 16384u);
    for (std::size_t i = 8192; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ (i * 31));
    spit(file("MEDS.sqlite"), bytes);

    MedFile t{medTable()};
    int e = t.file.open();
    if (e == 0) {
        int worst = 0;
        for (int key : {-1, int(kByName), int(kByDate)}) {
            t.file.setKeyOrder(key);
            int r;
            while ((r = t.file.next()) == 0) {
            }
            if (r != kRecordNotAvailable) worst = r;
        }
        e = worst;
    }
    EXPECT_EQ(e, kFileDamaged) << t.file.lastErrorText();
    ASSERT_TRUE(t.file.create() == 0 || t.file.lastError() == kFileDamaged);
}

TEST_F(Opening, StoredTableMustMatchTheLayout) {
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("a", "Y", 0, 1, 0, "X1")), 0);
        ASSERT_EQ(t.add(med("b", "Y", 0, 2, 0, "X2")), 0);
    }
    ReleaseThreadConnections();

    // A missing key: refused, DenyWrite still opens, buildKeys() mends it, closed or open.
    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:ByDate\"");
    MedFile t{medTable()};
    EXPECT_EQ(t.file.open(), kInvalidKeyFile);
    EXPECT_NE(t.file.lastErrorText().find("MED:ByDate"), std::string::npos) << t.file.lastErrorText();
    ASSERT_EQ(t.file.buildKeys(), 0) << t.file.lastErrorText();
    ASSERT_EQ(t.file.open(), 0);
    t.file.close();
    ReleaseThreadConnections();

    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:ByCode\"; UPDATE MEDS SET CODE = 'x1' WHERE _id = 2;");
    ASSERT_EQ(t.file.open(OpenMode::DenyWrite), 0);
    EXPECT_EQ(t.file.buildKeys(), kDuplicateKey);  // the unique key cannot hold both
    t.file.close();
    ReleaseThreadConnections();
    rawSql(file("MEDS.sqlite"), "UPDATE MEDS SET CODE = 'X2' WHERE _id = 2;");
    ASSERT_EQ(t.file.open(OpenMode::DenyWrite), 0);
    EXPECT_EQ(t.file.buildKeys(), 0);
    t.file.close();
    ASSERT_EQ(t.file.open(), 0);
    t.file.close();
    ReleaseThreadConnections();

    // A changed key declaration is no key at all.
    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:ByName\"; CREATE INDEX \"MEDS:MED:ByName\" ON MEDS (NAME)");
    EXPECT_EQ(t.file.open(), kInvalidKeyFile);
    ASSERT_EQ(t.file.buildKeys(), 0);
    ASSERT_EQ(t.file.open(), 0);
    t.file.close();
    ReleaseThreadConnections();

    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:ByDate\"; ALTER TABLE MEDS DROP COLUMN TIME");
    EXPECT_EQ(t.file.open(), kInvalidRecordDeclaration);
    EXPECT_NE(t.file.lastErrorText().find("TIME"), std::string::npos) << t.file.lastErrorText();
}

// A key's index that another program drops while the file is open: reading in that key's order
// says the key is missing (a rebuild mends it), in whichever way the read is made.
TEST_F(Opening, AKeyDroppedWhileOpenIsAnInvalidKey) {
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.add(med("a", "Y", ymd(2024, 3, 1), 1)), 0);
    ASSERT_EQ(t.file.setKeyOrder(kByDate), 0);
    ASSERT_EQ(t.file.next(), 0);
    rawSql(file("MEDS.sqlite"), "DROP INDEX \"MEDS:MED:ByDate\"");
    ASSERT_EQ(t.file.setKeyOrder(kByDate), 0);
    EXPECT_EQ(t.file.next(), kInvalidKeyFile) << t.file.lastErrorText();
    EXPECT_EQ(t.file.get(kByDate), kInvalidKeyFile) << t.file.lastErrorText();
    EXPECT_EQ(t.file.setKeyOrder(kByName), 0);
    EXPECT_EQ(t.file.next(), 0) << "the other keys still read";
    t.file.close();
    ASSERT_EQ(t.file.buildKeys(), 0);
    ASSERT_EQ(t.file.open(), 0);
    EXPECT_EQ(t.order(kByDate, 1), std::vector<int>{1});
}

TEST_F(Opening, LayoutsTheDriverCannotStoreAreRefused) {
    const rt::FieldDesc badSize[] = {{1, "X:A", rt::FieldType::Short, 4, 0}};
    const rt::FieldDesc sameColumn[] = {{1, "X:A", rt::FieldType::Long, 4, 0}, {2, "Y:a", rt::FieldType::Long, 4, 4}};
    const rt::KeyDesc noComponents[] = {{"X:K", "X:K", {}}};
    struct Case {
        const char* what;
        rt::TableDesc desc;
    } cases[] = {
        {"short of 4 bytes", {"X", "X", "X", 4, badSize, {}}},
        {"two fields, one column", {"X", "X", "X", 8, sameColumn, {}}},
        {"key without components", {"X", "X", "X", 4, std::span(sameColumn, 1), noComponents}},
        {"size not the fields'", {"X", "X", "X", 9, sameColumn, {}}},
    };
    for (const auto& c : cases) {
        char buffer[16] = {};
        TableFile t(c.desc, buffer, nullptr);
        EXPECT_EQ(t.create(), kInvalidRecordDeclaration) << c.what;
        EXPECT_EQ(t.open(), kInvalidRecordDeclaration) << c.what;
        EXPECT_EQ(t.next(), kFileNotOpen) << c.what;
    }
    const rt::TableDesc fine{"X", "X", "X", 4, std::span(sameColumn, 1), {}};
    TableFile noBuffer(fine, nullptr, nullptr);
    EXPECT_EQ(noBuffer.open(), kInvalidRecordDeclaration);
}

// Without write permission a writing open is refused and a read-only open works. Run in a child
// process that is not root (root writes anything), so the permissions hold.
TEST_F(Opening, NoWritePermissionThenReadOnly) {
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("kept", "Y", 0, 1), "memo"), 0);
    }
    ReleaseThreadConnections();
    struct Case {
        const char* what;
        std::filesystem::perms folder;
    } cases[] = {
        {"file read-only, folder writable", std::filesystem::perms::all},
        {"file and folder read-only", std::filesystem::perms(0755)},
    };
    for (const auto& c : cases) {
        std::filesystem::permissions(dir_, c.folder);
        std::filesystem::permissions(file("MEDS.sqlite"), std::filesystem::perms(0444));
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            std::string report;
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) report += "cannot drop root; ";
            {
                MedFile t{medTable()};
                int e = t.file.open();
                if (e != kAccessDenied) report += "open gave " + std::to_string(e) + " " + t.file.lastErrorText() + "; ";
                t.file.sendOption("Recover=10");
                if ((e = t.file.open()) != kAccessDenied) report += "second open gave " + std::to_string(e) + "; ";
                if ((e = t.file.open(OpenMode::ReadOnly)) != 0) report += "read-only open gave " + std::to_string(e) + " " + t.file.lastErrorText() + "; ";
                if (!t.file.isReadOnly()) report += "not read-only; ";
                if (t.file.next() != 0 || t.rec.tag != 1 || t.notes != "memo") report += "record not read; ";
                if ((e = t.add(med("new", "Y", 0, 2))) != kReadOnlyFile) report += "add gave " + std::to_string(e) + "; ";
                if ((e = t.file.put()) != kReadOnlyFile) report += "put gave " + std::to_string(e) + "; ";
                if ((e = t.file.begin(1)) != kReadOnlyFile) report += "begin gave " + std::to_string(e) + "; ";
            }
            ReleaseThreadConnections();
            (void)!::write(fds[1], report.data(), report.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        std::string report;
        char buf[512];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) report.append(buf, static_cast<std::size_t>(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what;
        EXPECT_EQ(report, "") << c.what;
    }
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::permissions(file("MEDS.sqlite"), std::filesystem::perms(0644));
}

TEST_F(Opening, ReleasedConnectionsCloseInstances) {
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    ReleaseThreadConnections();
    EXPECT_FALSE(t.file.isOpen());
    EXPECT_EQ(t.file.next(), kFileNotOpen);
    EXPECT_EQ(t.file.add(), kFileNotOpen);
    ASSERT_EQ(t.file.open(), 0);
    EXPECT_EQ(t.order(-1, 1), std::vector<int>{1});
}

TEST_F(Opening, CloseAbandonsItsOwnTransaction) {
    MedFile t{medTable()};
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.file.begin(1), 0);
    ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    t.file.close();
    ASSERT_EQ(t.file.open(), 0);
    EXPECT_FALSE(t.file.inTransaction());
    EXPECT_EQ(t.order(-1, 1), std::vector<int>{});
}

}  // namespace
}  // namespace filetest
