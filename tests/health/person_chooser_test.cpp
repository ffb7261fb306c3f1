// "Quick Listing and Profile": the person chooser, started as the frame starts it, prints the chosen
// person's medication list and then their health profile on its own thread, however it is closed.
#include <algorithm>
#include <string>
#include <vector>

#include "data/thread_tables.h"
#include "platform/classes/window_controller.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "readings_fixture.h"

namespace {

using namespace readings_test;

data::PersonsNameRecord person(const char* name) {
    data::PersonsNameRecord p{};
    rt::clearRecord(data::PersonsNameTable(), &p);
    rt::assign(p.PERSONSNAME, name);
    rt::assign(p.CITY, std::string("City of ") + name);
    return p;
}

data::PrescriptsRecord prescription(const char* drug, const char* name) {
    data::PrescriptsRecord p{};
    rt::clearRecord(data::PrescriptsTable(), &p);
    rt::assign(p.DRUGNAMEASPRESCRIBED, drug);
    rt::assign(p.PERSONSNAME, name);
    rt::assign(p.ACTIVE, "Y");
    return p;
}

class PersonChooser : public HealthTest {
protected:
    void SetUp() override {
        HealthTest::SetUp();
        store(data::PersonsNameTable(), std::vector{person("Zoe Example"), person("Ann Example")});
        store(data::PrescriptsTable(), std::vector{prescription("Zocor", "Ann Example"), prescription("Lipitor", "Zoe Example"),
                                                   prescription("Aspirin", "")});
    }
    // The title of the preview open now and the person it is for; the preview is left.
    std::pair<std::string, std::string> LeavePreview(const std::string& nameLabel) {
        auto preview = user_.Find("Report Preview");
        const auto pages = preview.Pages("?PAGES");
        std::pair<std::string, std::string> seen{pages->title, after(pages->pages.at(0), nameLabel)};
        preview.Press("?EXIT");
        return seen;
    }
};

TEST_F(PersonChooser, HoweverItClosesTheMedicationListThenTheProfilePrint) {
    for (const std::string how : {"?OKBUTTON", "?CANCELBUTTON", "close box"}) {
        SCOPED_TRACE(how);
        Start("prequick");
        auto chooser = user_.Find("prequick");
        chooser.ChooseRow("?PER:PERSONSNAME", 2);
        if (how == "close box") chooser.CloseBox();
        else chooser.Press(how);
        EXPECT_TRUE(chooser.Open()) << "the chooser stays while its reports run";
        EXPECT_EQ(LeavePreview("Current Medication List For:"), std::make_pair(std::string("Prescripts Report"), std::string("Ann Example")));
        EXPECT_EQ(LeavePreview("Personal Health Profile for:").second, "Ann Example");
        EXPECT_FALSE(chooser.Open());
        EXPECT_EQ(Response(), cls::kResponseCancelled) << "the chooser answers nothing of its own";
        EXPECT_TRUE(messages_.shown().empty());
    }
}

TEST_F(PersonChooser, ClosedWithoutAChoiceItPrintsForWhoeverWasCurrent) {
    // Nobody current: the prescriptions without a person, and no profile to print.
    Start("prequick");
    user_.Find("prequick").Press("?OKBUTTON");
    auto preview = user_.Find("Report Preview");
    const Texts listed = texts(preview.Pages("?PAGES")->pages.at(0));
    EXPECT_NE(std::find(listed.begin(), listed.end(), "Aspirin"), listed.end());
    EXPECT_EQ(std::find(listed.begin(), listed.end(), "Zocor"), listed.end());
    preview.Press("?EXIT");
    EXPECT_FALSE(user_.Has("Report Preview"));
    EXPECT_EQ(messages_.numbers(), std::vector<int>{25});
    Response();
    messages_.clear();

    // Zoe current (as a people list leaves it): her list, and her profile, found in the list.
    globals::personname().set("Zoe Example");
    Start("prequick");
    auto chooser = user_.Find("prequick");
    EXPECT_EQ(chooser.Choice("?PER:PERSONSNAME"), 1);
    chooser.Press("?CANCELBUTTON");
    EXPECT_EQ(LeavePreview("Current Medication List For:").second, "Zoe Example");
    EXPECT_EQ(LeavePreview("Personal Health Profile for:").second, "Zoe Example");
    EXPECT_EQ(Response(), cls::kResponseCancelled);
}

}  // namespace
