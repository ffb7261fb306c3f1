#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/list_format_manager.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "support/own_process.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"

using testing_support::MessageRecorder;
using testing_support::runOnTaskThread;
using testing_support::TempDataFolder;

namespace {

const char* kDesigned = "80L(2)|M~Name~@s40@";

// A list box that holds a format string; layouts with the word "broken" do not fit its columns.
class FakeList final : public cls::FormattedList {
public:
    explicit FakeList(std::string designed) : format_(std::move(designed)) {}
    std::string Format() const override { return format_; }
    void SetFormat(std::string_view f) override { format_ = f; }
    std::string ColumnFields(int n) const override {
        std::string s;
        for (int i = 1; i <= n; ++i) s += "?COL" + std::to_string(i) + "[" + std::to_string(i) + "]";
        return s;
    }
    bool Accepts(std::string_view f) const override { return f.find("broken") == std::string_view::npos; }
    std::string DesignedFormat() const override { return kDesigned; }
    std::string format_;
};

// One list window's life: open, visit the given formats (changing the layout on each when asked), close.
struct Visit {
    int format;
    const char* setLayout;  // nullptr: leave it
};
std::vector<std::string> runList(int control, std::initializer_list<Visit> visits) {
    std::vector<std::string> seen;
    runOnTaskThread([&] {
        FakeList list(kDesigned);
        cls::ListFormatManager m;
        m.Construct();
        m.SAVEFORMAT = 1;
        ASSERT_TRUE(m.Initialise(&list, 1, "PRESCRIP", "BrowseThings", 1, control, &data::ListFormatsFile(),
                                 &globals::AppErrors()));
        for (const auto& v : visits) {
            m.SetFormatValue(v.format, v.format == 2 ? "SortOrder1" : "SortOrder" + std::to_string(v.format - 1));
            seen.push_back(list.Format());
            if (v.setLayout) list.SetFormat(v.setLayout);
        }
        m.TearDown();
    });
    return seen;
}

std::string storedFormat(int control, int format, std::uint8_t* flag = nullptr, std::string* name = nullptr) {
    std::string f;
    runOnTaskThread([&] {
        auto& file = data::ListFormatsFile();
        ASSERT_EQ(file.open(), 0);
        rt::clearRecord(file.desc(), &data::CFG);
        rt::assign(data::CFG.APPNAME, "PRESCRIP");
        rt::assign(data::CFG.PROCID, "BrowseThings");
        data::CFG.USERID = 1;
        data::CFG.CTRLID = static_cast<std::int16_t>(control);
        data::CFG.FORMATID = static_cast<std::int16_t>(format);
        if (file.get(0) == 0) {
            f = rt::clip(data::CFG.FORMAT);
            if (flag) *flag = data::CFG.FLAG;
            if (name) *name = rt::clip(data::CFG.FORMATNAME);
        }
        file.close();
    });
    return f;
}

TEST(ListFormats, EachTabKeepsItsLayoutAcrossSwitchesAndRuns) {
    TempDataFolder folder;
    MessageRecorder messages(globals::AppErrors());
    // First run: the file is made; tab 1 (format 2) keeps the designed layout, another tab
    // (format 3, made from the present layout) gets a wider column.
    auto seen = runList(1, {{2, nullptr}, {3, "120L(2)|M~Name~@s40@"}, {2, nullptr}});
    EXPECT_EQ(seen, (std::vector<std::string>{kDesigned, kDesigned, kDesigned}));
    std::string name;
    std::uint8_t flag = 0;
    EXPECT_EQ(storedFormat(1, 3, &flag, &name), "120L(2)|M~Name~@s40@");
    EXPECT_EQ(name, "SortOrder2");
    // Second run: each tab shows its own layout again.
    seen = runList(1, {{3, nullptr}, {2, nullptr}});
    EXPECT_EQ(seen, (std::vector<std::string>{"120L(2)|M~Name~@s40@", kDesigned}));
    EXPECT_EQ(storedFormat(1, 2, &flag), kDesigned);
    EXPECT_TRUE(flag & cls::ListFormatManager::kCurrent);
    EXPECT_EQ(storedFormat(1, 3, &flag), "120L(2)|M~Name~@s40@");
    EXPECT_FALSE(flag & cls::ListFormatManager::kCurrent);
    // Another list of the same procedure is filed apart.
    EXPECT_EQ(storedFormat(20, 3), "");
    EXPECT_TRUE(messages.shown().empty());
}

TEST(ListFormats, LockedFormatKeepsItsLayoutAndChangesGoToTheCurrentFormat) {
    TempDataFolder folder;
    runList(1, {{2, nullptr}});
    runOnTaskThread([] {
        auto& file = data::ListFormatsFile();
        ASSERT_EQ(file.open(), 0);
        ASSERT_EQ(file.setKeyOrder(0), 0);
        ASSERT_EQ(file.next(), 0);
        data::CFG.FLAG |= cls::ListFormatManager::kLocked;
        ASSERT_EQ(file.put(), 0);
        file.close();
    });
    runList(1, {{2, "99L(2)|M~Name~@s40@"}});
    std::string name;
    EXPECT_EQ(storedFormat(1, 2), kDesigned);
    EXPECT_EQ(storedFormat(1, cls::ListFormatManager::kCurrentFormatId, nullptr, &name), "99L(2)|M~Name~@s40@");
    EXPECT_EQ(name, "Current Format");
}

TEST(ListFormats, DamagedStoredLayoutIsNotApplied) {
    TempDataFolder folder;
    runList(1, {{2, "broken~~|"}});
    EXPECT_EQ(storedFormat(1, 2), "broken~~|");
    const auto seen = runList(1, {{2, nullptr}});
    EXPECT_EQ(seen, (std::vector<std::string>{kDesigned})) << "the list keeps its designed layout";
}

// A file the manager cannot use is reported with what is wrong with which file.
TEST(ListFormats, ADamagedFileIsReportedByName) {
    TempDataFolder folder;
    MessageRecorder messages(globals::AppErrors());
    const std::string path = folder.path() + "/Formats.FDB";
    std::ofstream(path, std::ios::binary) << std::string(4096, 'J');
    runOnTaskThread([] {
        FakeList list(kDesigned);
        cls::ListFormatManager m;
        m.Construct();
        EXPECT_FALSE(m.Initialise(&list, 1, "PRESCRIP", "BrowseThings", 1, 1, &data::ListFormatsFile(), &globals::AppErrors()));
    });
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "An error occured: File Damaged Or Not A Data File.|Error level:3|" + path + " is damaged or is not a data file");
}

// In a folder the user may only read, the stored layouts still apply and opening says nothing: the
// first message the user sees is the table's own, that it is read-only. (Run as another user than
// root, who may write anything, in AReadOnlyFolderAsAnotherUser.)
constexpr const char* kReadOnlyFolder = "PRESCRIPTS_TEST_READ_ONLY_FOLDER";
TEST(ListFormats, AReadOnlyFolderStillGivesTheStoredLayoutsWithoutAMessage) {
    TempDataFolder folder;
    runList(1, {{2, "40L(2)|M~Name~@s40@"}});
    files::ReleaseThreadConnections();
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(folder.path() + "/Formats.FDB", std::filesystem::perms(0644));
    const pid_t pid = testing_support::runTestInOwnProcess("ListFormats.AReadOnlyFolderAsAnotherUser",
                                                           std::string(kReadOnlyFolder) + "=" + folder.path(), {}, true);
    ASSERT_GE(pid, 0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot give up root; otherwise the other user's test failed";
}

CHILD_TEST(ListFormats, AReadOnlyFolderAsAnotherUser) {
    const char* folder = std::getenv(kReadOnlyFolder);
    ASSERT_NE(folder, nullptr) << "run by AReadOnlyFolderStillGivesTheStoredLayoutsWithoutAMessage";
    files::SetDataFolder(folder);
    MessageRecorder messages(globals::AppErrors());
    std::vector<std::string> seen;
    runOnTaskThread([&] {
        FakeList list(kDesigned);
        cls::ListFormatManager m;
        m.Construct();
        EXPECT_TRUE(m.Initialise(&list, 1, "PRESCRIP", "BrowseThings", 1, 1, &data::ListFormatsFile(), &globals::AppErrors()));
        m.SetFormatValue(2, "SortOrder1");
        seen.push_back(list.Format());
        m.TearDown();
    });
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(seen, std::vector<std::string>{"40L(2)|M~Name~@s40@"});
}

}  // namespace
