// The prescription reports as a user meets them: every prescription from the frame's menu, and one
// prescription from its form, each through its progress window into the preview.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "prescriptions/update_prescripts.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

using Texts = std::vector<std::string>;

struct Rx {
    const char* drug;
    const char* person;
    const char* active;
    const char* rxNumber;
};

void addPrescriptions(const std::vector<Rx>& rows) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        for (const Rx& r : rows) {
            rt::clearRecord(data::PrescriptsTable(), &data::PRE);
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, r.drug);
            rt::assign(data::PRE.PERSONSNAME, r.person);
            rt::assign(data::PRE.ACTIVE, r.active);
            rt::assign(data::PRE.RXNUMBER, r.rxNumber);
            rt::assignC(data::PRE.PRINTKEY, prescriptions::ComposePrintKey(data::PRE));
            data::PRE_SpecialInstructionsNotes = std::string("Notes on ") + r.drug;
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

// The texts of a page that follow a label, as the report placed them.
std::string after(const wnd::Page& page, const std::string& label, int nth = 0) {
    for (std::size_t i = 0; i + 1 < page.items.size(); ++i)
        if (page.items[i].text == label && nth-- == 0) return page.items[i + 1].text;
    return "(no " + label + ")";
}

using PrescriptionReports = testing_support::ProgramTest;

TEST_F(PrescriptionReports, EveryPrescriptionInPrintKeyOrderThreeToAPage) {
    addPrescriptions({{"Zocor", "mother", "Y", "Z1"}, {"Aspirin", "father", "N", "A1"},
                      {"Lipitor", "mother", "Y", "L1"}, {"Metformin", "Aaron", "Y", "M1"}});
    auto frame = program_.Start();
    frame.Press("?REPORTPRESCRIPTS");
    auto preview = user_.Find("Report Preview");
    EXPECT_TRUE(frame.Enabled("?BROWSEPRESCRIPTS")) << "the report runs on a thread of its own";
    const auto pages = preview.Pages("?PAGES");
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->title, "Prescription Report");
    ASSERT_EQ(pages->pages.size(), 2u);
    const wnd::Page& first = pages->pages[0];
    EXPECT_EQ(first.items.front().text, "Prescription Report");
    EXPECT_EQ(after(first, "Drug Name", 0), "Aspirin");  // inactive ones print too
    EXPECT_EQ(after(first, "Active = ", 0), "N");
    EXPECT_EQ(after(first, "Drug Name", 1), "Lipitor");
    EXPECT_EQ(after(first, "Drug Name", 2), "Metformin");
    EXPECT_EQ(after(pages->pages[1], "Drug Name"), "Zocor");
    preview.Press("?EXIT");
    EXPECT_FALSE(user_.Has("Report Preview"));
}

TEST_F(PrescriptionReports, NoPrescriptionsNoPreview) {
    auto frame = program_.Start();
    frame.Press("?REPORTPRESCRIPTS");
    EXPECT_FALSE(user_.Has("Report Preview"));
    EXPECT_EQ(messages_.numbers(), std::vector<int>{25});
    EXPECT_EQ(messages_.shown().at(0).caption, "No Records");
}

TEST_F(PrescriptionReports, TheFormPrintsItsStoredPrescriptionsAndKeepsTheUsersValues) {
    // Two stored prescriptions share the print key: both print, one to a page.
    addPrescriptions({{"Zocor", "mother", "Y", "Z1"}, {"Zocor", "mother", "Y", "Z2"}, {"Aspirin", "father", "Y", "A1"}});
    auto frame = program_.Start();
    frame.Press("?BROWSEPRESCRIPTS");
    auto list = user_.Find("BrowsePrescripts");
    list.ChooseTab("?TAB:4");  // by drug name: Aspirin, Zocor, Zocor
    list.ChooseRow("?BROWSE:1", 2);
    list.Press("?CHANGE:4");
    auto form = user_.Find("UpdatePrescripts");
    const std::string rx = form.Text("?PRE:RXNUMBER");
    form.Fill("?PRE:RXNUMBER", "EDITED");
    ASSERT_TRUE(form.Enabled("?PRINT"));
    form.Press("?PRINT");
    auto preview = user_.Find("Report Preview");
    const auto pages = preview.Pages("?PAGES");
    ASSERT_EQ(pages->pages.size(), 2u);
    EXPECT_EQ(pages->title, "Single Prescription Report");
    // The stored prescriptions, not the value being edited.
    const Texts numbers = {after(pages->pages[0], "Prescription Number:"), after(pages->pages[1], "Prescription Number:")};
    EXPECT_TRUE((numbers == Texts{"Z1", "Z2"}) || (numbers == Texts{"Z2", "Z1"})) << numbers[0] << " " << numbers[1];
    EXPECT_EQ(after(pages->pages[0], "Special Notes:"), "Notes on Zocor");
    preview.Press("?EXIT");
    EXPECT_EQ(form.Text("?PRE:RXNUMBER"), "EDITED") << "the form keeps the user's values";
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    // OK wrote the form's prescription, not the last one the report read.
    std::vector<std::string> stored;
    std::thread([&] {  // as another program sees the file: a connection of its own
        data::PrescriptsRecord r{};
        {
            files::TableFile f(data::PrescriptsTable(), &r, nullptr);
            ASSERT_EQ(f.open(), 0);
            f.setKeyOrder(-1);
            while (f.next() == 0) stored.push_back(rt::clip(r.RXNUMBER));
        }
        files::ReleaseThreadConnections();
    }).join();
    std::sort(stored.begin(), stored.end());
    Texts expected = {"A1", "EDITED", rx == "Z1" ? "Z2" : "Z1"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stored, expected);
}

}  // namespace
