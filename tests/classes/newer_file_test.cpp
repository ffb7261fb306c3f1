// A data file of a newer version, opened through its accessor: the user is told once, in words,
// why it is read-only, and a save refused on it says the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/files_test_support.h"
#include "platform/classes/error_reporter.h"
#include "platform/classes/table_accessor.h"
#include "platform/files/migration.h"

namespace {

using namespace filetest;

class NewerFile : public FilesTest {};

TEST_F(NewerFile, IsOpenedReadOnlySayingSoOnceAndARefusedSaveSaysTheSame) {
    const std::string path = file("MEDS.sqlite");
    {
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        ASSERT_EQ(t.add(med("a", "Y", 0, 1)), 0);
    }
    files::ReleaseThreadConnections();
    rawSql(path, "PRAGMA user_version = " + std::to_string(files::kFileVersion + 1));

    std::vector<cls::MessageBoxRequest> told;
    cls::ErrorReporter errors;
    errors.SetPresenter([&](const cls::MessageBoxRequest& r) {
        told.push_back(r);
        return static_cast<unsigned>(cls::kButtonOk);
    });
    MedFile t{medTable()};
    cls::TableAccessor accessor;
    accessor.BUFFER = {&t.rec, &t.desc, sizeof t.rec, nullptr};
    accessor.FILENAMEVALUE = "Meds";
    accessor.Initialise();
    accessor.Attach(&t.file, &errors);
    accessor.CREATE = 1;
    ASSERT_EQ(accessor.UseTable(cls::kUseAccess), 0);
    EXPECT_TRUE(t.file.isReadOnly());
    const std::string words = path + " was written by a newer version of this program; it is opened read-only";
    ASSERT_EQ(told.size(), 1u) << "told once";
    EXPECT_EQ(told[0].messageNumber, 2);
    EXPECT_EQ(told[0].caption, "Access Denied");
    EXPECT_EQ(told[0].text, words);

    t.rec = med("b", "Y", 0, 2);
    EXPECT_NE(accessor.InsertRecord(), 0);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[1].text.find("File Is Read Only (92); " + words), std::string::npos) << told[1].text;
    accessor.TearDown();
}

}  // namespace
