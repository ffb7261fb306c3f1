// The two reading lists inside the health-profile form: kept to the person the form shows, their
// buttons calling the reading forms on the form's thread and starting the printed logs on threads
// of their own, and the glucose list sorted by its column headers.
#include <optional>

#include "support/counted_reads.h"

#include "platform/window/list_format.h"

#include "people_fixture.h"

namespace {

using namespace people_test;

Texts column(const std::vector<std::vector<std::string>>& rows, std::size_t c) {
    Texts out;
    for (const auto& r : rows) out.push_back(r.at(c));
    return out;
}

// A reading form that adds a reading for personname on insert, as the real one would save it.
// The buffer is the calling thread's own.
template <typename Record>
std::function<void()> addsOnInsert(Record& (*buffer)(), files::TableFile& (*file)(), void (*fill)(Record&)) {
    return [buffer, file, fill] {
        globals::CallResponse = cls::kResponseCancelled;
        if (globals::CallRequest != cls::kRequestInsert) return;
        Record& r = buffer();
        rt::assign(r.PERSONNAME, globals::personname().get());
        r.DATE.set(today());
        r.TIME.set(now());
        fill(r);
        if (file().add() == 0) globals::CallResponse = cls::kResponseCompleted;
    };
}

// `count` readings of `who` (one stored as the form would, the rest copied by raw SQL).
void storeReadings(const std::string& who, int count) {
    store(data::BloodpreTable(), std::vector{bloodPressure(who, date(2026, 1, 1), 120)});
    testing_support::copyRows("support.sqlite", "Bloodpre", "t.\"PERSONNAME\" = '" + who + "'", count - 1,
                              {{"DATE", "t.\"DATE\" + n.i % 1000"}});
}

class ReadingLists : public PeopleTest {
protected:
    void SetUp() override {
        PeopleTest::SetUp();
        store(data::PersonsNameTable(), std::vector{person("Ann Lee"), person("Bob")});
        // In place of the registered reading forms, now that they are registered.
        bpForm_.emplace("UpdateBloodpre", Recorder("UpdateBloodpre", addsOnInsert<data::BloodpreRecord>(
                                                                         [] () -> data::BloodpreRecord& { return data::BLO; }, &data::BloodpreFile,
                                                                         [](data::BloodpreRecord& r) { r.SYSTOLIC = 150; })));
        glucoseForm_.emplace("UpdateGlucose", Recorder("UpdateGlucose", addsOnInsert<data::GlucoseRecord>(
                                                                           [] () -> data::GlucoseRecord& { return data::GLU; }, &data::GlucoseFile,
                                                                           [](data::GlucoseRecord& r) { r.READING = 101; })));
    }
    void TearDown() override {
        PeopleTest::TearDown();
        bpForm_.reset();
        glucoseForm_.reset();
    }
    std::optional<StandIn> bpForm_, glucoseForm_;
};

TEST_F(ReadingLists, EachListShowsOnlyThePersonsReadingsAndCallsItsFormOnTheFormsThread) {
    store(data::BloodpreTable(), std::vector{bloodPressure("Ann Lee", date(2026, 6, 1), 120), bloodPressure("Bob", date(2026, 6, 1), 200),
                                             bloodPressure("Ann Lee", date(2026, 6, 2), 130), bloodPressure("", date(2026, 6, 2), 210),
                                             bloodPressure("Ann Lee", date(2026, 6, 3), 140)});
    store(data::GlucoseTable(), std::vector{glucose("Bob", date(2026, 6, 1), 300), glucose("Ann Lee", date(2026, 6, 1), 99, "fasting")});
    auto form = ChangePerson(1);
    EXPECT_EQ(column(form.Rows("?LIST"), 2), (Texts{"120", "130", "140"}));
    EXPECT_EQ(form.Rows("?LIST").at(0).at(0), "06/01/2026");
    EXPECT_EQ(form.Headers("?LIST:2"), (Texts{"Date", "Time", "Reading", "Comment"}));
    EXPECT_EQ(form.Rows("?LIST:2"), (std::vector<Texts>{{"06/01/2026", "9:30 AM", "99", "fasting"}}));

    form.Press("?INSERT");
    form.ChooseRow("?LIST:2", 1);
    form.Press("?CHANGE:2");
    form.Press("?INSERT:2");
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 3u);
    const int formThread = ThreadOf(form);
    const Call expected[] = {{"UpdateBloodpre", cls::kRequestInsert, "Ann Lee", formThread},
                             {"UpdateGlucose", cls::kRequestChange, "Ann Lee", formThread},
                             {"UpdateGlucose", cls::kRequestInsert, "Ann Lee", formThread}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(calls[i].procedure, expected[i].procedure) << i;
        EXPECT_EQ(calls[i].request, expected[i].request) << i;
        EXPECT_EQ(calls[i].person, expected[i].person) << i;
        EXPECT_EQ(calls[i].thread, expected[i].thread) << i;
    }
    EXPECT_EQ(column(form.Rows("?LIST"), 2), (Texts{"120", "130", "140", "150"})) << "the new reading shows at once";
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"99", "101"}));

    form.Fill("?PER:PERSONSNAME", "Bob");
    EXPECT_EQ(column(form.Rows("?LIST"), 2), (Texts{"200"})) << "the lists follow the name at once";
}

TEST_F(ReadingLists, ANewPersonsListsShowTheReadingsWithoutAName) {
    store(data::BloodpreTable(), std::vector{bloodPressure("Ann Lee", date(2026, 6, 1), 120), bloodPressure("", date(2026, 6, 2), 210)});
    store(data::GlucoseTable(), std::vector{glucose("", date(2026, 6, 1), 77), glucose("Bob", date(2026, 6, 3), 300),
                                            glucose("", date(2026, 6, 2), 88)});
    auto list = OpenPeople();
    list.Press("?INSERT:3");
    auto form = user_.Find("UpdatePersonsName");
    EXPECT_EQ(column(form.Rows("?LIST"), 2), (Texts{"210"}));
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"88", "77"})) << "newest date first";
}

TEST_F(ReadingLists, ANameLongerThanAReadingHoldsStillFindsItsReadings) {
    const std::string name = "Alexandra Montgomery-Fitzgerald Smith";  // 37 characters
    store(data::PersonsNameTable(), std::vector{person(name)});
    store(data::GlucoseTable(), std::vector{glucose(name, date(2026, 6, 1), 99)});  // stored cut to 35
    auto form = ChangePerson(1);
    EXPECT_EQ(trimmed(form.Text("?PER:PERSONSNAME")), name);
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"99"}));
}

TEST_F(ReadingLists, TheGlucoseListSortsByAColumnHeaderAndTypingSeeksInThatSort) {
    store(data::GlucoseTable(), std::vector{glucose("Ann Lee", date(2026, 6, 1), 120, "after lunch"),
                                            glucose("Ann Lee", date(2026, 6, 2), 95, "fasting"),
                                            glucose("Ann Lee", date(2026, 6, 3), 140, "before"),
                                            glucose("Bob", date(2026, 6, 3), 10, "not Ann's"),
                                            glucose("Ann Lee", date(2026, 6, 4), 95, "again")});
    auto form = ChangePerson(1);
    const Texts own = {"120", "95", "140", "95"};
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), own) << "readings of one person are equal in the person's order";
    form.ClickHeader("?LIST:2", 3);
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"95", "95", "120", "140"}));
    EXPECT_EQ(column(form.Rows("?LIST:2"), 3), (Texts{"fasting", "again", "after lunch", "before"})) << "equal readings in the list's own order";
    EXPECT_EQ(form.Headers("?LIST:2").at(2), "Reading ^");
    form.ClickHeader("?LIST:2", 3);
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"140", "120", "95", "95"}));
    EXPECT_EQ(form.Headers("?LIST:2").at(2), "Reading v");
    form.ClickHeader("?LIST:2", 3);
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), own);
    EXPECT_EQ(form.Headers("?LIST:2").at(2), "Reading");

    // The layout's own windows see the headers without the sort's mark; the sort comes back after.
    form.ClickHeader("?LIST:2", 3);
    form.RightClickRow("?LIST:2", 1);
    user_.ChoosePopup("Format &Setup...");
    auto setup = user_.Find("Format Setup");
    EXPECT_EQ(column(setup.Rows("?COLUMNS"), 0), (Texts{"Date", "Time", "Reading", "Comment"}));
    setup.Press("?CANCEL");
    EXPECT_EQ(form.Headers("?LIST:2").at(2), "Reading ^");
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"95", "95", "120", "140"}));

    form.ClickHeader("?LIST:2", 4);
    EXPECT_EQ(column(form.Rows("?LIST:2"), 3), (Texts{"after lunch", "again", "before", "fasting"}));
    EXPECT_EQ(form.Headers("?LIST:2"), (Texts{"Date", "Time", "Reading", "Comment ^"}));
    form.PressKey('F');
    EXPECT_EQ(form.Rows("?LIST:2").at(static_cast<std::size_t>(form.Choice("?LIST:2") - 1)).at(3), "fasting");
    form.Press("?INSERT:2");
    EXPECT_EQ(column(form.Rows("?LIST:2"), 3), (Texts{"", "after lunch", "again", "before", "fasting"}))
        << "a new reading takes its place in the sort";
}

TEST_F(ReadingLists, ADoubleClickOnAGlucoseHeaderSizesTheColumnAndLeavesTheOrder) {
    store(data::GlucoseTable(), std::vector{glucose("Ann Lee", date(2026, 6, 1), 120, "a comment far wider than its column"),
                                            glucose("Ann Lee", date(2026, 6, 2), 95, "fasting")});
    auto form = ChangePerson(1);
    const auto widthOf = [&](std::size_t c) { return wnd::ParseListFormat(form.Control("?LIST:2").format).at(c).width; };
    const int before = widthOf(3);
    form.DoubleClickHeader("?LIST:2", 4);
    EXPECT_GT(widthOf(3), before) << "widened to the comments it shows";
    EXPECT_EQ(column(form.Rows("?LIST:2"), 2), (Texts{"120", "95"}));
    EXPECT_EQ(form.Headers("?LIST:2").at(3), "Comment") << "no sort mark";
}

TEST_F(ReadingLists, TheLogButtonsStartTheReportsOnThreadsOfTheirOwn) {
    StandIn bp("bpaverages", Recorder("bpaverages"));
    StandIn glu("glucreport", Recorder("glucreport"));
    auto form = ChangePerson(1);
    form.Press("?BUTTON12");
    form.Press("?BUTTON16");
    const int formThread = ThreadOf(form);
    for (const char* report : {"bpaverages", "glucreport"}) {
        const auto calls = CallsOf(report);
        ASSERT_EQ(calls.size(), 1u) << report;
        EXPECT_NE(calls[0].thread, formThread) << report;
        EXPECT_EQ(calls[0].person, "Ann Lee") << report;
    }
    EXPECT_FALSE(form.Inert());
}

TEST_F(ReadingLists, ButtonsWaitForTheProceduresTheyCall) {
    const char* absent[] = {"UpdateBloodpre", "UpdateGlucose", "bpaverages", "glucreport", "profile"};
    std::vector<std::unique_ptr<StandIn>> gone;
    for (const char* p : absent) gone.push_back(std::make_unique<StandIn>(p, shell::WindowProcedure{}));
    store(data::GlucoseTable(), std::vector{glucose("Ann Lee", date(2026, 6, 1), 99)});
    auto form = ChangePerson(1);
    for (const char* b : {"?INSERT", "?CHANGE", "?DELETE", "?INSERT:2", "?CHANGE:2", "?DELETE:2", "?BUTTON12", "?BUTTON16", "?PRINT"})
        EXPECT_FALSE(form.Enabled(b)) << b;
    form.DoubleClickRow("?LIST:2", 1);
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(form.Open());
}

}  // namespace

// After OK on a new reading the list shows it, reading about two pages of rows: the same for a
// person with many readings as for one with few. Reading on past the row inside the person's
// readings must not walk the rest of them.
TEST_F(ReadingLists, ReloadingAfterANewReadingReadsAboutTwoPagesWhateverThePersonHolds) {
    storeReadings("Ann Lee", 20000);
    storeReadings("Bob", 200);
    testing_support::CountedReads counted("Bloodpre");
    auto form = ChangePerson(1);
    struct Cost {
        long long rows, steps;
        std::size_t page;
    };
    const auto insert = [&] {
        counted.clear();
        form.Press("?INSERT");
        const auto rows = form.Rows("?LIST");
        EXPECT_EQ(rows.back().at(2), "150") << "the new reading shows";
        return Cost{counted.rows(), counted.steps(), rows.size()};
    };
    const Cost many = insert();
    form.Fill("?PER:PERSONSNAME", "Bob");
    ASSERT_EQ(form.Rows("?LIST").at(0).at(2), "120");
    const Cost few = insert();
    for (const Cost& c : {many, few}) EXPECT_LE(c.rows, static_cast<long long>(2 * c.page + 4)) << "rows of two pages and the probes";
    EXPECT_LT(many.steps, 2 * few.steps + 2000) << many.steps << " steps at 20 000 readings, " << few.steps << " at 200";
}
