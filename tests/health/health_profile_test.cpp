// The health-profile form as a user meets it, opened from the people list: the display name and
// the age it works out, what each tab page stores, the doctor visits' push-down, the stamp of the
// last change, Cancel's question, viewing, printing and the immunisation schedule.
#include <filesystem>
#include <fstream>
#include <string_view>
#include <tuple>
#include <utility>
#include <unistd.h>

#include "health/profile_rules.h"
#include "health/update_persons_name.h"
#include "people_fixture.h"

namespace {

using namespace people_test;

const rt::StdDate kStoredDay = date(2020, 1, 2);
const rt::StdTime kStoredTime = *rt::timeFromHms(8, 15, 0);

// A person as stored some time ago, with a stamp of that time.
data::PersonsNameRecord stamped(std::string_view name) {
    auto p = person(name);
    p.DATEUPDATED.set(kStoredDay);
    p.TIMEUPDATED.set(kStoredTime);
    return p;
}

bool stampedNow(const data::PersonsNameRecord& p) { return p.DATEUPDATED.get() == today() && p.TIMEUPDATED.get() == now(); }

TEST(ProfileRules, TheDisplayNameIsFirstBlankLast) {
    EXPECT_EQ(health::ComposeDisplayName("Ann   ", "Lee    "), "Ann Lee");
    EXPECT_EQ(health::ComposeDisplayName("", "Lee"), " Lee");
    EXPECT_EQ(rt::rtrim(health::ComposeDisplayName("Ann", "")), "Ann");
}

TEST(ProfileRules, AgeInDaysThenMonthsThenYears) {
    const rt::StdDate t = today();  // 10 June 2026
    struct Case {
        rt::StdDate birth;
        double number;
        const char* text;
    } cases[] = {
        {t, 0, "0 DAYS"},
        {t - 45, 45, "45 DAYS"},
        {t - 60, 60, "60 DAYS"},
        {t - 61, 2, "2 MOS"},                 // 10 April
        {date(2024, 12, 10), 18, "18 MOS"},
        {date(2024, 6, 10), 24, "24 MOS"},    // exactly two years
        {date(2024, 5, 10), 2, "2 YRS"},      // two years and a month
        {date(1989, 6, 10), 37, "37 YRS"},
        {date(1996, 6, 11), 29, "29 YRS"},    // thirty tomorrow
        {date(2027, 3, 1), 99, "99 YRS"},     // next year read as a hundred years earlier
        {date(2130, 1, 1), 0, "******"},      // still after today
        {0, 0, "******"},                     // no birth date
    };
    for (const Case& c : cases) {
        const health::Age age = health::AgeOn(c.birth, t);
        EXPECT_EQ(age.number, c.number) << c.text;
        EXPECT_EQ(age.text, c.text);
    }
}

TEST(ProfileRules, TheExplanationOfBloodPressureFitsItsText) {
    EXPECT_EQ(health::kWhatIsBloodPressure.size(), 557u);
}

TEST_F(PeopleTest, TheDisplayNameIsMadeWhenTheFirstNameIsEnteredAndAgainOnOk) {
    auto list = OpenPeople();
    list.Press("?INSERT:3");
    auto form = user_.Find("UpdatePersonsName");
    EXPECT_EQ(form.Focus(), "?PER:LASTNAME");
    form.Fill("?PER:LASTNAME", "Lee");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "") << "the last name alone makes nothing";
    form.Fill("?PER:FIRSTNAME", "Ann");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "Ann Lee");
    form.Fill("?PER:PERSONSNAME", "Annie");
    EXPECT_EQ(personname(), "Annie") << "Will Show As names the person for the reading lists";
    form.Fill("?PER:LASTNAME", "Long");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "Annie");
    form.Fill("?PER:BIRTHDATE", "06/10/1989");
    EXPECT_EQ(form.Text("?PER:AGE"), "37.00");
    form.ChooseRadio("?PER:GENDER:RADIO2");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO3");
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    const auto people = storedPeople();
    ASSERT_EQ(people.size(), 1u);
    EXPECT_EQ(trimmed(rt::view(people[0].PERSONSNAME)), "Ann Long") << "composed again from the final names";
    EXPECT_EQ(trimmed(rt::view(people[0].MARITALSTATUS)), "Living w/Partner");
    const double age = people[0].AGE;  // a packed field: read by value
    EXPECT_EQ(age, 37);
    EXPECT_TRUE(stampedNow(people[0]));
    EXPECT_EQ(personname(), "Ann Long");
}

TEST_F(PeopleTest, OkWithoutGenderOrMaritalStatusWritesNothingAndStays) {
    auto list = OpenPeople();
    list.Press("?INSERT:3");
    auto form = user_.Find("UpdatePersonsName");
    form.Fill("?PER:FIRSTNAME", "Ann");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO1");
    form.Press("?OK");
    EXPECT_TRUE(form.Open());
    ASSERT_FALSE(messages_.shown().empty());
    EXPECT_EQ(messages_.shown().back().number, 17) << messages_.shown().back().text;
    EXPECT_TRUE(storedPeople().empty());
}

TEST_F(PeopleTest, OkStampsTheDateAndTimeOnlyWhenTheProfileChanged) {
    struct Case {
        const char* change;
        std::function<void(hl::UserWindow&)> act;
        bool stamps;
    };
    const std::vector<Case> cases = {
        {"nothing", [](hl::UserWindow&) {}, false},
        {"city", [](hl::UserWindow& f) { f.Fill("?PER:CITY", "Springfield"); }, true},
        {"weight", [](hl::UserWindow& f) { f.Fill("?PER:WEIGHT", "150"); }, false},
        {"marital status", [](hl::UserWindow& f) { f.ChooseRadio("?PER:MARITALSTATUS:RADIO4"); }, false},
        {"a doctor visit", [](hl::UserWindow& f) { f.Fill("?PER:DRVISITPURPOSE3", "Checkup"); }, false},
        {"secondary phone", [](hl::UserWindow& f) { f.Fill("?PER:SECONDARYCONTACTPHONE", "5551234567"); }, true},
        {"other conditions", [](hl::UserWindow& f) { f.Fill("?PER:OTHERCONDITIONS", "Broken wrist"); }, true},
        {"a condition", [](hl::UserWindow& f) { f.SetChecked("?PER:ASTHMA", true); }, true},
        {"an immunisation date", [](hl::UserWindow& f) { f.Fill("?PER:IMMDATE4", "03/15/2020"); }, true},
    };
    std::vector<data::PersonsNameRecord> people;
    for (std::size_t i = 0; i < cases.size(); ++i) people.push_back(stamped("p" + std::to_string(i)));
    store(data::PersonsNameTable(), people);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].change);
        auto form = ChangePerson(static_cast<int>(i) + 1);
        EXPECT_EQ(form.Caption(), "Record Will Be Changed");
        EXPECT_EQ(form.Text("?PER:DATEUPDATED"), "01/02/2020");
        cases[i].act(form);
        form.Press("?OK");
        ASSERT_FALSE(form.Open());
        const auto stored = storedPeople().at(i);
        EXPECT_EQ(stampedNow(stored), cases[i].stamps);
        if (!cases[i].stamps) {
            EXPECT_EQ(stored.DATEUPDATED.get(), kStoredDay);
        }
        user_.Find("BrowsePerson").Press("?CLOSE");
    }
}

TEST_F(PeopleTest, ThePlanAndDoctorDropDownsCopyTheirChoiceAndAddTypedNames) {
    data::PlanNameRecord plan{};
    rt::clearRecord(data::PlanNameTable(), &plan);
    rt::assign(plan.PLANNAME, "Blue Cross Blue Shield of the Northern Plains");  // 44 characters
    rt::assign(plan.GROUP_ORPOLICYNUMBER, "GRP-1234567890-ABCDEFGHIJ");         // 25
    store(data::PlanNameTable(), std::vector{plan});
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    std::string typedDoctor;
    StandIn doctors("UpdateDoctors", Recorder("UpdateDoctors", [&] {
        typedDoctor = trimmed(rt::view(data::DOC.DOCTORSNAME));
        globals::CallResponse = cls::kResponseCancelled;
    }));
    auto form = ChangePerson(1);
    form.ChooseRow("?PLA:PLANNAME", 1);
    EXPECT_EQ(form.Text("?PER:GROUPPLANNUMBER"), "GRP-1234567890-ABCDE");
    form.Fill("?PER:DRVISITNAME4", "Dr. New");
    const auto calls = CallsOf("UpdateDoctors");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, cls::kRequestInsert);
    EXPECT_EQ(typedDoctor, "Dr. New");
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    const auto p = storedPeople().at(0);
    EXPECT_EQ(trimmed(rt::view(p.HEALTHINSURER)), "Blue Cross Blue Shield of the") << "its first 30 characters";
    EXPECT_EQ(trimmed(rt::view(p.GROUPPLANNUMBER)), "GRP-1234567890-ABCDE");

    user_.Find("BrowsePerson").Press("?CLOSE");
    form = ChangePerson(1);
    EXPECT_EQ(form.Text("?PLA:PLANNAME"), "Blue Cross Blue Shield of the Northern Plains") << "the person's own plan";
}

// Maximised (or made larger), the form's tab sheet and its lists grow with it and the buttons below
// follow; entries keep their size, and a row's controls their places beside the row's first;
// back at its first size everything is where it was.
TEST_F(PeopleTest, TheFormsSheetAndListsGrowWithItsWindowAndTheButtonsFollow) {
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    auto form = ChangePerson(1);
    const char* watched[] = {"?CURRENTTAB", "?LIST", "?LIST:2", "?OK", "?CANCEL", "?PER:LASTNAME"};
    // The OK row stands at the right edge; an entry keeps beside its prompt.
    const char* rowFirst[] = {"", "", "", "", "", "?PER:LASTNAME:PROMPT"};
    const bool atRightEdge[] = {false, false, false, true, true, false};
    std::vector<wnd::Rect> designed;
    for (const char* use : watched) designed.push_back(form.Control(use).at);
    const wnd::Rect firstDesigned = form.Control("?PER:LASTNAME:PROMPT").at;
    const wnd::Rect window = {0, 0, 440, 300};
    const wnd::Rect helpDesigned = form.Control("?HELP").at;
    form.Resize(window.width * 2, window.height * 2);
    // The row of buttons ends at the right edge, where the sheet above it ends.
    const wnd::Rect help = form.Control("?HELP").at;
    EXPECT_NEAR(help.x + help.width, (helpDesigned.x + helpDesigned.width) * 2, 1);
    for (std::size_t i = 0; i < std::size(watched); ++i) {
        SCOPED_TRACE(watched[i]);
        const wnd::Rect& was = designed[i];
        const wnd::Rect now = form.Control(watched[i]).at;
        if (*rowFirst[i]) {
            const wnd::Rect first = form.Control(rowFirst[i]).at;
            EXPECT_EQ(now.x - first.x, was.x - firstDesigned.x) << "beside the row's first control, as designed";
        } else if (atRightEdge[i]) {
            EXPECT_EQ(help.x - now.x, helpDesigned.x - was.x) << "in the row of buttons, as designed";
        } else {
            EXPECT_NEAR(now.x, was.x * 2, 1);
        }
        EXPECT_NEAR(now.y, was.y * 2, 1);
        const bool grows = std::string_view(watched[i]) == "?CURRENTTAB" || std::string_view(watched[i]).starts_with("?LIST");
        EXPECT_NEAR(now.width, grows ? was.width * 2 : was.width, 1);
        EXPECT_NEAR(now.height, grows ? was.height * 2 : was.height, 1);
    }
    // Back at its first size, and smaller than that (laid out as designed: nothing overlaps).
    for (const auto& [w, h] : {std::pair{window.width, window.height}, std::pair{200, 100}}) {
        form.Resize(w, h);
        for (std::size_t i = 0; i < std::size(watched); ++i) {
            const wnd::Rect now = form.Control(watched[i]).at;
            EXPECT_EQ(std::tie(now.x, now.y, now.width, now.height),
                      std::tie(designed[i].x, designed[i].y, designed[i].width, designed[i].height)) << watched[i] << " at " << w;
        }
    }
    form.Press("?CANCEL");
}

TEST_F(PeopleTest, TheTabPagesStoreWhatTheyShow) {
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    auto form = ChangePerson(1);
    for (const char* check : {"?PER:ALZHEIMERSDISEASE", "?PER:ANEMIA", "?PER:ASTHMA", "?PER:NOKNOWNMEDICALCONDITIONS:2"})
        form.SetChecked(check, true);
    EXPECT_TRUE(form.Checked("?PER:ASTHMA")) << "No Known Medical Conditions changes no other box";
    form.Fill("?PER:FOODALLERGY1", "Peanuts and tree nut");  // all 20 characters
    form.Fill("?PER:DEFIBRILLATOR", "Model X");
    form.Fill("?PER:IMM1", "Tetanus");
    form.Fill("?PER:IMMDATE1", "03/15/2020");
    form.Fill("?PER:EMAILADDRESS:2", std::string(59, 'a'));  // and a terminating zero
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    auto p = storedPeople().at(0);
    EXPECT_EQ(p.ALZHEIMERSDISEASE[0], 'Y');
    EXPECT_EQ(p.ANEMIA[0], 'Y');
    EXPECT_EQ(p.ASTHMA[0], 'Y');
    EXPECT_EQ(p.NOKNOWNMEDICALCONDITIONS[0], 'Y');
    EXPECT_EQ(p.DIABETES[0], ' ');
    EXPECT_EQ(trimmed(rt::view(p.FOODALLERGY1)), "Peanuts and tree nut");
    EXPECT_EQ(trimmed(rt::view(p.DEFIBRILLATOR)), "Model X");
    EXPECT_EQ(trimmed(rt::view(p.IMM1)), "Tetanus");
    EXPECT_EQ(p.IMMDATE1.get(), date(2020, 3, 15));
    EXPECT_EQ(rt::cstr(p.EMAILADDRESS), std::string(59, 'a'));

    user_.Find("BrowsePerson").Press("?CLOSE");
    form = ChangePerson(1);
    EXPECT_TRUE(form.Checked("?PER:ANEMIA"));
    form.SetChecked("?PER:ANEMIA", false);
    form.Press("?OK");
    p = storedPeople().at(0);
    EXPECT_EQ(p.ANEMIA[0], ' ');
    EXPECT_EQ(p.ALZHEIMERSDISEASE[0], 'Y');
}

TEST_F(PeopleTest, PushDownMovesEveryVisitALineDownAfterItsOwnQuestion) {
    std::vector<data::DoctorsRecord> doctors;
    auto p = stamped("Ann Lee");
    auto* record = reinterpret_cast<char*>(&p);
    const auto& table = data::PersonsNameTable();
    for (int n = 1; n <= 10; ++n) {
        data::DoctorsRecord d{};
        rt::clearRecord(data::DoctorsTable(), &d);
        rt::assign(d.DOCTORSNAME, "Dr. " + std::to_string(n));
        doctors.push_back(d);
        rt::setFieldText(*table.fieldByName("PER:DRVISITNAME" + std::to_string(n)), record, "Dr. " + std::to_string(n));
        rt::setFieldNumber(*table.fieldByName("PER:DRVISITDATE" + std::to_string(n)), record, date(2025, 1, n));
        rt::setFieldText(*table.fieldByName("PER:DRVISITPURPOSE" + std::to_string(n)), record, "visit " + std::to_string(n));
    }
    store(data::DoctorsTable(), doctors);
    store(data::PersonsNameTable(), std::vector{p});
    auto form = ChangePerson(1);
    EXPECT_EQ(form.Text("?PER:DRVISITNAME10"), "Dr. 10");

    messages_.answer(cls::kButtonNo);
    form.Press("?BUTTON5");
    const auto question = messages_.shown().back();
    EXPECT_EQ(question.caption, "Push Down?");
    EXPECT_EQ(question.text, "This will push down all visits by one line, and DELETE the last line.|Do you wish to proceed?");
    EXPECT_EQ(form.Text("?PER:DRVISITNAME1"), "Dr. 1") << "No changes nothing";
    EXPECT_EQ(form.Text("?PER:DATEUPDATED"), "01/02/2020");

    messages_.answer(cls::kButtonYes);
    form.Press("?BUTTON5");
    messages_.answer(cls::kButtonYes);
    form.Press("?BUTTON5");
    EXPECT_EQ(form.Text("?PER:DATEUPDATED"), "06/10/2026");
    EXPECT_EQ(form.Text("?PER:TIMEUPDATED"), "9:30 AM");
    for (int n : {1, 2}) {
        EXPECT_EQ(form.Text("?PER:DRVISITNAME" + std::to_string(n)), "") << n;
        EXPECT_EQ(form.Text("?PER:DRVISITDATE" + std::to_string(n)), "") << n;
        EXPECT_EQ(form.Text("?PER:DRVISITPURPOSE" + std::to_string(n)), "") << n;
    }
    EXPECT_EQ(form.Text("?PER:DRVISITNAME3"), "Dr. 1");
    EXPECT_EQ(form.Text("?PER:DRVISITDATE3"), "01/01/2025");
    EXPECT_EQ(form.Text("?PER:DRVISITPURPOSE10"), "visit 8") << "the former lines 9 and 10 are gone";

    // The record differs from what was read: Cancel asks before the visits are lost.
    messages_.answer(cls::kButtonNo);
    form.Press("?CANCEL");
    EXPECT_EQ(messages_.shown().back().number, 10);
    ASSERT_TRUE(form.Open());
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    const auto saved = storedPeople().at(0);
    EXPECT_EQ(trimmed(rt::view(saved.DRVISITNAME3)), "Dr. 1");
    EXPECT_EQ(trimmed(rt::view(saved.DRVISITNAME1)), "");
    EXPECT_TRUE(stampedNow(saved));
}

TEST_F(PeopleTest, PushDownOnEmptyVisitsStillStamps) {
    store(data::PersonsNameTable(), std::vector{stamped("Ann Lee")});
    auto form = ChangePerson(1);
    messages_.answer(cls::kButtonYes);
    form.Press("?BUTTON5");
    EXPECT_EQ(form.Text("?PER:DRVISITNAME1"), "");
    EXPECT_EQ(form.Text("?PER:DATEUPDATED"), "06/10/2026");
}

TEST_F(PeopleTest, CancelAsksAboutChangesAndForgetsThePersonOnlyWhenTheFormCloses) {
    store(data::PersonsNameTable(), std::vector{stamped("Ann Lee")});
    auto form = ChangePerson(1);
    EXPECT_EQ(personname(), "Ann Lee");
    form.Fill("?PER:CITY", "Springfield");
    messages_.answer(cls::kButtonNo);
    form.Press("?CANCEL");
    EXPECT_EQ(messages_.shown().back().number, 10);
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(personname(), "Ann Lee") << "the form still shows the person";
    messages_.answer(cls::kButtonYes);
    globals::personname().set("Ann Lee");
    form.Press("?CANCEL");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(trimmed(rt::view(storedPeople().at(0).CITY)), "");
    EXPECT_EQ(personname(), "Ann Lee") << "the list names its highlighted row again";
}

TEST_F(PeopleTest, ViewingShowsThePersonAndWritesNothing) {
    store(data::PersonsNameTable(), std::vector{stamped("Ann Lee")});
    store(data::BloodpreTable(), std::vector{bloodPressure("Ann Lee", date(2026, 6, 1), 120)});
    StandIn reading("UpdateBloodpre", Recorder("UpdateBloodpre"));
    StandIn report("profile", Recorder("profile"));
    int response = -1;
    const shell::WindowProcedure real = shell::FindProcedure("UpdatePersonsName");
    StandIn form("UpdatePersonsName", [&] {
        real();
        response = globals::CallResponse;
    });
    auto list = OpenPeople();
    list.Press("?VIEW:2");
    auto view = user_.Find("UpdatePersonsName");
    EXPECT_EQ(view.Caption(), "View Record");
    EXPECT_TRUE(view.Control("?PER:CITY").readOnly);
    EXPECT_TRUE(view.Control("?PER:PERSONSNAME").readOnly);
    for (const char* c : {"?PLA:PLANNAME", "?BUTTON6", "?PER:DRVISITNAME1", "?PER:DRVISITNAME10", "?BUTTON5", "?INSERT",
                          "?CHANGE", "?DELETE:2", "?BUTTON12", "?BUTTON16", "?PRINT"})
        EXPECT_FALSE(view.Enabled(c)) << c;
    view.DoubleClickRow("?LIST", 1);
    EXPECT_TRUE(CallsOf("UpdateBloodpre").empty()) << "viewing calls no reading form";
    view.SetChecked("?PER:DIABETES", true);
    view.Press("?OK");
    EXPECT_FALSE(view.Open());
    EXPECT_EQ(response, cls::kResponseCancelled);
    const auto p = storedPeople().at(0);
    EXPECT_EQ(p.DIABETES[0], ' ');
    EXPECT_EQ(p.DATEUPDATED.get(), kStoredDay);
}

TEST_F(PeopleTest, PrintingTheProfileKeepsWhatTheFormHolds) {
    store(data::PersonsNameTable(), std::vector{stamped("Ann Lee")});
    std::string reportSaw;
    StandIn report("profile", Recorder("profile", [&] {
        reportSaw = trimmed(rt::view(data::PER.PERSONSNAME));
        // A report reads the stored people through the very buffer the form edits.
        rt::clearRecord(data::PersonsNameTable(), &data::PER);
    }));
    auto form = ChangePerson(1);
    form.Fill("?PER:CITY", "Springfield");
    form.Press("?PRINT");
    const auto calls = CallsOf("profile");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].thread, ThreadOf(form)) << "called on the form's own thread";
    EXPECT_EQ(reportSaw, "Ann Lee");
    EXPECT_EQ(form.Text("?PER:CITY"), "Springfield");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "Ann Lee");
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    EXPECT_EQ(trimmed(rt::view(storedPeople().at(0).CITY)), "Springfield");
}

TEST_F(PeopleTest, TheScheduleButtonOpensTheDocumentOrSaysItIsMissing) {
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    const std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    auto form = ChangePerson(1);
    form.Press("?BUTTON6");
    ASSERT_FALSE(messages_.shown().empty());
    EXPECT_NE(messages_.shown().back().text.find("IZSchedule_2006.pdf"), std::string::npos);
    {
        std::lock_guard lock(presenter_->mutex());
        EXPECT_TRUE(presenter_->documents().empty());
    }
    std::ofstream(std::filesystem::path(folder_.path()) / "IZSchedule_2006.pdf") << "%PDF-1.4\n";
    messages_.clear();
    form.Press("?BUTTON6");
    EXPECT_TRUE(messages_.shown().empty());
    {
        std::lock_guard lock(presenter_->mutex());
        ASSERT_EQ(presenter_->documents().size(), 1u);
        EXPECT_EQ(std::filesystem::path(presenter_->documents()[0]).filename(), "IZSchedule_2006.pdf");
    }
    EXPECT_TRUE(form.Open());
    form.Press("?CANCEL");
    std::filesystem::current_path(was);
}

TEST_F(PeopleTest, TabLeadsFromTheLastControlOfEachPageToTheFirstOfTheNext) {
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    auto form = ChangePerson(1);
    const std::pair<const char*, const char*> pairs[] = {
        {"?PER:MARITALSTATUS:RADIO5", "?PER:PRIMARYCONTACTNAME"}, {"?PER:GROUPPLANNUMBER", "?PER:ALZHEIMERSDISEASE"},
        {"?PER:SEIZUREDISORDER:2", "?PER:DEFIBRILLATOR"},         {"?PER:OTHER", "?PER:FOODALLERGY1"},
        {"?PER:DRUGALLERGY5", "?PER:OTHERCONDITIONS"},            {"?PER:OTHERALLERGY5", "?PER:IMM1"},
        {"?PER:IMMDATE10", "?PER:DRVISITNAME1"},                  {"?BUTTON5", "?LIST"},
        {"?BUTTON12", "?LIST:2"},                                 {"?BUTTON16", "?PRINT"},
    };
    for (const auto& [from, to] : pairs) {
        form.Click(from);
        form.PressKey(wnd::kKeyTab);
        EXPECT_EQ(form.Focus(), to) << from;
    }
}

TEST_F(PeopleTest, TheHelpButtonsAndKeysShowTheWindowsPages) {
    store(data::PersonsNameTable(), std::vector{person("Ann Lee")});
    auto list = OpenPeople();
    list.Press("?HELP");
    list.ChooseRow("?BROWSE:1", 1);
    list.Press("?CHANGE:3");
    auto form = user_.Find("UpdatePersonsName");
    form.Press("?HELP");
    form.Click("?PER:PERSONSNAME");
    form.PressKey(wnd::kKeyF1);
    Texts asked;
    for (const wnd::HelpRequest& r : user_.HelpRequests()) asked.push_back(r.topic);
    EXPECT_EQ(asked, (Texts{"list people.htm", "update profile.htm", "update profile.htm"}));
    EXPECT_TRUE(user_.Actions().empty()) << "no standard help action ran beside the agent";
}

}  // namespace
