// The people list as a user meets it: started from the frame's menu or on a thread of its own, its
// rows in name order, the shared personname following the highlighted row, and its buttons calling
// the health-profile form on the list's thread.
#include "people_fixture.h"
#include "support/headless_program.h"

namespace {

using namespace people_test;

const std::string kLongName = "Margaret Anne Fitzwilliam-Oyelaran-Castellanos";  // 46 characters

Texts names(const std::vector<std::vector<std::string>>& rows) {
    Texts out;
    for (const auto& r : rows) out.push_back(r.at(0));
    return out;
}

TEST_F(PeopleTest, TheFramesMenuItemStartsTheListOnceItIsRegistered) {
    shell::SetFrameProcedure(&shell::Main);
    {
        testing_support::HeadlessProgram program(user_);
        auto frame = program.Start();
        ASSERT_TRUE(frame.Enabled("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE"));
        frame.Press("?PRESCRIPTIONSADDUPDATEORCHANGEPEOPLE");
        auto list = user_.Find("BrowsePerson");
        EXPECT_EQ(list.Caption(), "List People");
        EXPECT_NE(ThreadOf(list), ThreadOf(frame)) << "a thread of its own";
    }
    shell::SetFrameProcedure(nullptr);
}

TEST_F(PeopleTest, PeopleAreListedByNameAndPersonnameFollowsTheHighlightedRow) {
    auto nobody = person("");
    rt::assign(nobody.CITY, "Nowhere");
    store(data::PersonsNameTable(), std::vector{person("mother", "Springfield"), person("Aaron"), nobody,
                                                person("bob"), person(kLongName)});
    globals::personname().set("before");
    auto list = OpenPeople();
    EXPECT_EQ(list.Headers("?BROWSE:1"),
              (Texts{"Name", "Street Address", "City", "Zip Code", "Phone Number", "Gender", "Email Address",
                     "Primary Contact Name", "Primary Contact Relationship"}));
    const auto rows = list.Rows("?BROWSE:1");
    EXPECT_EQ(names(rows), (Texts{"Aaron", "bob", kLongName, "mother"})) << "case ignored; a blank name is in no list";
    EXPECT_EQ(rows.at(3).at(2), "Springfield");
    EXPECT_EQ(rows.at(3).at(5), "F");
    for (const char* b : {"?INSERT:3", "?CHANGE:3", "?DELETE:3", "?VIEW:2"}) EXPECT_TRUE(list.Enabled(b)) << b;

    list.ChooseRow("?BROWSE:1", 2);
    EXPECT_EQ(personname(), "bob");
    list.ChooseRow("?BROWSE:1", 3);
    EXPECT_EQ(personname(), kLongName.substr(0, 40)) << "personname holds 40 characters";
    list.PressKey(wnd::kKeyDown);
    EXPECT_EQ(personname(), "mother") << "moving with the keys highlights another row too";
}

TEST_F(PeopleTest, EachButtonCallsTheFormOnTheListsThreadAndOnlyChangeNamesThePerson) {
    store(data::PersonsNameTable(), std::vector{person("Aaron"), person("bob"), person("mother")});
    StandIn form("UpdatePersonsName", Recorder("UpdatePersonsName", [] { globals::CallResponse = cls::kResponseCancelled; }));
    auto list = OpenPeople();
    list.ChooseRow("?BROWSE:1", 3);
    const int listThread = ThreadOf(list);

    struct Case {
        const char* act;  // a button, or "double click" on row 2, or "Ctrl+Enter"
        int request;
        const char* named;  // personname the form finds
    } cases[] = {
        {"?CHANGE:3", cls::kRequestChange, "mother"},  // named again though another window changed it
        {"double click", cls::kRequestChange, "bob"},
        {"?INSERT:3", cls::kRequestInsert, "elsewhere"},
        {"?VIEW:2", cls::kRequestView, "elsewhere"},
        {"?DELETE:3", cls::kRequestDelete, "elsewhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.act);
        globals::personname().set("elsewhere");  // as a window on another thread may leave it
        const std::size_t before = CallsOf("UpdatePersonsName").size();
        if (std::string(c.act) == "double click") list.DoubleClickRow("?BROWSE:1", 2);
        else list.Press(c.act);
        const auto calls = CallsOf("UpdatePersonsName");
        ASSERT_EQ(calls.size(), before + 1);
        EXPECT_EQ(calls.back().request, c.request);
        EXPECT_EQ(calls.back().person, c.named);
        EXPECT_EQ(calls.back().thread, listThread);
    }
}

TEST_F(PeopleTest, AnEmptyListOffersOnlyInsertAndLeavesPersonnameAlone) {
    globals::personname().set("kept");
    auto list = OpenPeople();
    EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
    EXPECT_TRUE(list.Enabled("?INSERT:3"));
    for (const char* b : {"?CHANGE:3", "?DELETE:3", "?VIEW:2"}) EXPECT_FALSE(list.Enabled(b)) << b;
    EXPECT_EQ(personname(), "kept");
}

TEST_F(PeopleTest, DeleteAsksAndRemovesThePersonWithoutShowingTheForm) {
    store(data::PersonsNameTable(), std::vector{person("Aaron"), person("bob")});
    auto list = OpenPeople();
    list.ChooseRow("?BROWSE:1", 2);
    globals::personname().set("elsewhere");
    list.Press("?DELETE:3");  // the question is answered Yes, its default
    ASSERT_FALSE(messages_.shown().empty());
    EXPECT_EQ(messages_.shown().back().number, 11);
    EXPECT_FALSE(user_.Has("UpdatePersonsName"));
    EXPECT_EQ(names(list.Rows("?BROWSE:1")), (Texts{"Aaron"}));
    EXPECT_EQ(storedPeople().size(), 1u);
}

TEST_F(PeopleTest, APersonAddedThroughTheFormIsListedAndHighlighted) {
    store(data::PersonsNameTable(), std::vector{person("Aaron"), person("mother")});
    auto list = OpenPeople();
    list.Press("?INSERT:3");
    auto form = user_.Find("UpdatePersonsName");
    EXPECT_EQ(form.Caption(), "Record Will Be Added");
    form.Fill("?PER:LASTNAME", "Lee");
    form.Fill("?PER:FIRSTNAME", "Ann");
    form.ChooseRadio("?PER:GENDER:RADIO2");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO1");
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    EXPECT_EQ(names(list.Rows("?BROWSE:1")), (Texts{"Aaron", "Ann Lee", "mother"}));
    EXPECT_EQ(list.Choice("?BROWSE:1"), 2);
    EXPECT_EQ(personname(), "Ann Lee");
}

}  // namespace
