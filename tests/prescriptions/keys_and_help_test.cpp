// The Enter-key navigator and the help agent in the prescription windows: the list box keeps its
// double click, popup and paging keys while Enter and the side arrows move on; the form shows the
// page of the field in focus; "Sorting Help" asks the program's help file for its page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/threads.h"
#include "shell/run_application.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

using Lines = std::vector<std::string>;

void addPrescription(const char* drug) {
    testing_support::runOnAnotherThread([&] {
        auto& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        data::PRE = {};
        rt::clearRecord(data::PrescriptsTable(), &data::PRE);
        rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, drug);
        rt::assign(data::PRE.ACTIVE, "Y");
        rt::assignC(data::PRE.PRINTKEY, "1");
        ASSERT_EQ(f.add(), 0);
        f.close();
    });
}

class KeysAndHelp : public testing_support::ProgramTest {
protected:
    hl::UserWindow OpenList() {
        auto frame = program_.Start();
        frame.Press("?BROWSEPRESCRIPTS");
        return user_.Find("BrowsePrescripts");
    }
    Lines Asked() {
        Lines out;
        const auto all = user_.HelpRequests();
        for (std::size_t i = seen_; i < all.size(); ++i) {
            EXPECT_EQ(all[i].file, shell::kHelpFile);
            EXPECT_EQ(all[i].command, wnd::HelpRequest::Command::Topic);
            out.push_back(all[i].topic);
        }
        seen_ = all.size();
        return out;
    }
    std::size_t seen_ = 0;
};

TEST_F(KeysAndHelp, TheListBoxKeepsItsMouseAndPagingKeysWhileEnterAndTheSideArrowsMoveOn) {
    addPrescription("Lisinopril");
    auto list = OpenList();
    const wnd::ControlState box = list.Control("?BROWSE:1");
    const std::pair<int, wnd::KeyCode> positions[] = {
        {249, wnd::kKeyApps},    {252, wnd::kKeyMouseLeft2}, {253, wnd::kKeyEnter},
        {254, wnd::kKeyRight},   {255, wnd::kKeyLeft},
    };
    for (const auto& [p, key] : positions) EXPECT_EQ(box.alerts[static_cast<std::size_t>(p - 1)], key) << p;
    for (wnd::KeyCode gone :
         {wnd::kCtrl | wnd::kKeyEnter, wnd::kKeyDelete, wnd::kKeyInsert, wnd::kShift | wnd::kKeyEnter})
        EXPECT_FALSE(box.Alerts(gone)) << wnd::KeyName(gone);
    for (wnd::KeyCode kept :
         {wnd::kKeyMouseRightUp, wnd::kKeyUp, wnd::kKeyDown, wnd::kKeyPageDown, wnd::kKeyHome, wnd::KeyCode{'L'}})
        EXPECT_TRUE(box.Alerts(kept)) << wnd::KeyName(kept);

    list.Click("?BROWSE:1");
    list.PressKey(wnd::kKeyDelete);
    EXPECT_TRUE(messages_.shown().empty()) << "Delete no longer deletes from the list box";
    list.PressKey(wnd::kKeyDown);
    EXPECT_EQ(list.Focus(), "?BROWSE:1") << "Down is the list's own";
    list.PressKey(wnd::kKeyEnter);
    EXPECT_EQ(list.Focus(), "?BUTTON8") << "Enter moves to the next control instead of opening the row";
    list.Click("?BROWSE:1");
    list.PressKey(wnd::kKeyLeft);
    EXPECT_EQ(list.Focus(), "?HELP");
    EXPECT_FALSE(user_.Has("UpdatePrescripts"));

    list.DoubleClickRow("?BROWSE:1", 1);
    auto form = user_.Find("UpdatePrescripts");
    EXPECT_EQ(form.Caption(), "Record Will Be Changed") << "the double click still opens the row";
    form.Press("?CANCEL");
    EXPECT_FALSE(form.Open());
}

TEST_F(KeysAndHelp, TheWindowsShowTheirPagesAndSortingHelpTheFormatManagers) {
    addPrescription("Lisinopril");
    auto list = OpenList();
    list.Press("?HELP");
    list.Press("?BUTTON8");
    list.PressKey(wnd::kKeyF12);
    EXPECT_EQ(Asked(), (Lines{"BrowsePrescripts.htm", "Format Manager", "BrowsePrescripts.htm"}));

    list.Press("?CHANGE:4");
    auto form = user_.Find("UpdatePrescripts");
    form.Click("?PRE:ACTIVE");
    form.PressKey(wnd::kKeyF1);
    form.Click("?PRE:SPECIALINSTRUCTIONSNOTES");
    form.PressKey(wnd::kKeyF12);
    form.Click("?PRE:NUMBERREFILLS");
    form.PressKey(wnd::kKeyF12);
    form.Click("?PRE:GENERICNAME");
    form.PressKey(wnd::kKeyF1);
    form.Click("?PRE:ACTIVE");
    form.Press("?HELP");
    EXPECT_EQ(Asked(), (Lines{"Active.htm", "Notes.htm", "Number Of Refills.htm", "UpdatePrescripts.htm",
                              "UpdatePrescripts.htm"}));
    EXPECT_TRUE(user_.Actions().empty()) << "no standard help action ran beside the agent";
    form.Press("?CANCEL");
}

}  // namespace
