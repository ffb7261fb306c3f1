// The health profile on paper, called as the health-profile form and the person chooser call it: on
// the caller's thread, for the person whose name stands in the thread's PersonsName buffer.
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
    rt::assign(p.STREETADDRESS, "12 Elm Street");
    rt::assign(p.CITY, "Springfield");
    rt::assign(p.STATE, "IL");
    rt::assign(p.ZIPCODE, "62701");
    rt::assign(p.PHONENUMBER, "2175550123");
    p.BIRTHDATE.set(*rt::dateFromYmd(1983, 7, 4));
    p.AGE = 42.5;
    rt::assign(p.GENDER, "F");
    rt::assign(p.EMAILADDRESS, "ann@example.org");
    rt::assign(p.HEIGHT, "507");
    rt::assign(p.MARITALSTATUS, "Married");
    p.WEIGHT = 140;
    rt::assign(p.PRIMARYCONTACTNAME, "Bob Example");
    rt::assign(p.PRIMARYCONTACTRELATIONSHIP, "Husband");
    rt::assign(p.PRIMARYCONTACTPHONE, "2175550199");
    rt::assign(p.HEALTHINSURER, "Prairie Health");
    rt::assign(p.GROUPPLANNUMBER, "G-1234");
    rt::assign(p.ASTHMA, "Y");
    rt::assign(p.STROKE, "Y");
    rt::assign(p.DIABETES, "y");  // only "Y" ticks a box
    rt::assign(p.OXYGEN, "Night only");
    rt::assign(p.FOODALLERGY1, "Peanuts");
    rt::assign(p.DRUGALLERGY5, "Penicillin");
    rt::assign(p.IMM1, "Tetanus");
    p.IMMDATE1.set(*rt::dateFromYmd(2020, 5, 1));
    rt::assign(p.DRVISITNAME10, "Dr Adams");
    p.DRVISITDATE10.set(*rt::dateFromYmd(2026, 2, 14));
    rt::assign(p.DRVISITPURPOSE10, "Check-up");
    p.DATEUPDATED.set(*rt::dateFromYmd(2026, 3, 1));
    p.TIMEUPDATED.set(*rt::timeFromHms(9, 15, 0));
    return p;
}

// Whether the check box labelled `label` is ticked: strokes inside the square placed before it.
bool ticked(const wnd::Page& page, const std::string& label) {
    const auto at = std::find_if(page.items.begin(), page.items.end(), [&](const wnd::PageItem& i) { return i.text == label; });
    EXPECT_NE(at, page.items.end()) << label;
    if (at == page.items.end()) return false;
    auto box = at;
    while (box != page.items.begin() && (--box)->kind != wnd::PageItem::Kind::Box) {
    }
    return std::any_of(box, at, [](const wnd::PageItem& i) { return i.kind == wnd::PageItem::Kind::Line; });
}

// Every text of the report, page after page.
Texts all(const wnd::PageSet& pages) {
    Texts out;
    for (const wnd::Page& p : pages.pages)
        for (std::string& t : texts(p)) out.push_back(std::move(t));
    return out;
}

class ProfileReport : public HealthTest {
protected:
    // As its callers call it: the person's name in this thread's buffer, no request.
    void Print(const std::string& name) {
        Start("profile", [name] {
            rt::assign(data::PER.PERSONSNAME, name);
            globals::CallRequest = 0;
        });
    }
};

TEST_F(ProfileReport, EveryFieldOfThePersonOverPagesUnderTheirHeader) {
    store(data::PersonsNameTable(), std::vector{person("Carl Other"), person("Ann Example")}, "Pollen in spring.");
    Print("ann example");  // the name key ignores case
    auto preview = user_.Find("Report Preview");
    EXPECT_FALSE(Maximised(preview));
    EXPECT_EQ(preview.Control("?PAGES").zoom, 50);
    const auto pages = preview.Pages("?PAGES");
    ASSERT_EQ(pages->pages.size(), 3u) << "19.74 in of profile over 7 in pages";
    for (std::size_t i = 0; i < pages->pages.size(); ++i) {
        const wnd::Page& page = pages->pages[i];
        EXPECT_EQ(after(page, "Personal Health Profile for:"), "Ann Example");
        EXPECT_EQ(after(page, "Report Date:"), "March 10, 2026");
        EXPECT_EQ(after(page, "Page"), std::to_string(i + 1));
        EXPECT_EQ(after(page, "Data As Of:"), "03/01/2026");
        EXPECT_EQ(after(page, "03/01/2026"), "9:15 AM");
        EXPECT_EQ(texts(page).back(), "Varnholt");
    }
    const wnd::Page& first = pages->pages[0];
    const struct {
        const char* label;
        const char* value;
    } fields[] = {{"Name:", "Ann Example"},          {"Street Address:", "12 Elm Street"},
                  {"City:", "Springfield"},          {"State:", "IL"},
                  {"Zip Code:", "62701"},            {"Phone Number:", "(217) 555-0123"},
                  {"Birthdate:", "July 4, 1983"},   {"Age:", "42.50"},
                  {"Gender:", "F"},                  {"Email Address:", "ann@example.org"},
                  {"Height:", "5' 07\""},            {"Marital Status:", "Married"},
                  {"Weight:", "140"},                {"Primary:", "Bob Example"},
                  {"Health Insurer:", "Prairie Health"}, {"Group Plan Number:", "G-1234"}};
    for (const auto& f : fields) EXPECT_EQ(after(first, f.label), f.value) << f.label;
    EXPECT_TRUE(ticked(first, "Asthma"));
    EXPECT_TRUE(ticked(first, "Stroke"));
    EXPECT_FALSE(ticked(first, "Diabetes"));
    EXPECT_FALSE(ticked(first, "Anemia"));

    const Texts every = all(*pages);
    for (const char* t : {"Night only", "Peanuts", "Penicillin", "Pollen in spring.", "Tetanus", "05/01/2020",
                          "Dr Adams", "02/14/2026", "Check-up", "Doctors and Dentist Visits"})
        EXPECT_NE(std::find(every.begin(), every.end(), t), every.end()) << t;
    EXPECT_EQ(std::find(every.begin(), every.end(), "Carl Other"), every.end()) << "only the person named";
    preview.Press("?EXIT");
    EXPECT_EQ(Response(), cls::kResponseCompleted);
}

TEST_F(ProfileReport, TwoPeopleOfOneNameBothPrint) {
    store(data::PersonsNameTable(), std::vector{person("Ann Example"), person("Ann Example")});
    Print("Ann Example");
    auto preview = user_.Find("Report Preview");
    const auto pages = preview.Pages("?PAGES");
    ASSERT_EQ(pages->pages.size(), 6u);
    EXPECT_EQ(after(pages->pages[3], "Name:"), "Ann Example") << "the second profile starts a page of its own";
    EXPECT_EQ(after(pages->pages[5], "Page"), "6");
    preview.Press("?EXIT");
    EXPECT_EQ(Response(), cls::kResponseCompleted);
}

TEST_F(ProfileReport, NobodyOfThatNamePrintsNothing) {
    store(data::PersonsNameTable(), std::vector{person("Ann Example")});
    for (const char* name : {"", "Nobody"}) {
        SCOPED_TRACE(name);
        Print(name);
        EXPECT_FALSE(user_.Has("Report Preview"));
        EXPECT_EQ(Response(), cls::kResponseCancelled);
        EXPECT_EQ(messages_.numbers(), std::vector<int>{25});
        messages_.clear();
    }
}

}  // namespace
