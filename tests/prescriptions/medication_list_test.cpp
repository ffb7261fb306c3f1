// "Quick Listing and Profile" as a user meets it: the frame starts the person chooser, and closing
// the chooser prints the chosen person's current medication list (the health profile that follows
// belongs to the health records and is tested with them).
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/thread_tables.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "support/counted_reads.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

using Texts = std::vector<std::string>;

struct Rx {
    const char* drug;
    const char* person;
    const char* active;
};

void addPeopleAndPrescriptions(const std::vector<const char*>& people, const std::vector<Rx>& rows) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& per = data::PersonsNameFile();
        ASSERT_EQ(testing_support::openOrCreate(per), 0);
        for (const char* name : people) {
            rt::clearRecord(data::PersonsNameTable(), &data::PER);
            rt::assign(data::PER.PERSONSNAME, name);
            ASSERT_EQ(per.add(), 0);
        }
        per.close();
        files::TableFile& pre = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(pre), 0);
        int n = 0;
        for (const Rx& r : rows) {
            rt::clearRecord(data::PrescriptsTable(), &data::PRE);
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, r.drug);
            rt::assign(data::PRE.PERSONSNAME, r.person);
            rt::assign(data::PRE.ACTIVE, r.active);
            rt::assign(data::PRE.DRNAME, "Dr Adams");
            rt::assign(data::PRE.TAKEWHEN, "Morning");
            rt::assignC(data::PRE.PRINTKEY, std::to_string(++n));
            ASSERT_EQ(pre.add(), 0);
        }
        pre.close();
    });
}

// The drug names a page lists: the text after each "Dr Adams" cell's row start.
Texts drugs(const wnd::Page& page) {
    Texts out, t;
    for (const wnd::PageItem& i : page.items)
        if (i.kind == wnd::PageItem::Kind::Text) t.push_back(i.text);
    for (std::size_t i = 1; i < t.size(); ++i)
        if (t[i] == "Dr Adams") out.push_back(t[i - 1]);
    return out;
}

std::string after(const wnd::Page& page, const std::string& label) {
    for (std::size_t i = 0; i + 1 < page.items.size(); ++i)
        if (page.items[i].text == label) return page.items[i + 1].text;
    return "(no " + label + ")";
}

class MedicationList : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        rt::setFixedClock(*rt::dateFromYmd(2026, 3, 10), *rt::timeFromHms(9, 41, 0));
        globals::personname().set("");
    }
    void TearDown() override {
        ProgramTest::TearDown();
        rt::useSystemClock();
        globals::personname().set("");
    }
    bool Maximised(const hl::UserWindow& w) {
        std::lock_guard lock(presenter_->mutex());
        return presenter_->windows().at(w.id()).state.maximised;
    }
};

TEST_F(MedicationList, TheChosenPersonsActivePrescriptionsByDrugName) {
    addPeopleAndPrescriptions({"Zoe Example", "Ann Example"},
                              {{"Zocor", "Ann Example", "Y"},
                               {"Lipitor", "Zoe Example", "Y"},
                               {"aspirin", "Ann Example", "Y"},
                               {"Metformin", "Ann Example", "N"},   // inactive
                               {"Bextra", "ann example", "Y"},      // another person: case counts
                               {"Coumadin", "Ann Example", "Y"}});
    auto frame = program_.Start();
    ASSERT_TRUE(frame.Enabled("?REPORTSITEM21"));
    frame.Press("?REPORTSITEM21");
    auto chooser = user_.Find("prequick");
    EXPECT_EQ(chooser.Caption(), "Choose Person's Name for Quick List Report");
    EXPECT_FALSE(frame.Inert()) << "the chooser runs on a thread of its own";
    const auto rows = chooser.Rows("?PER:PERSONSNAME");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at(0), "Zoe Example") << "people as they are stored";
    EXPECT_EQ(chooser.Choice("?PER:PERSONSNAME"), 0) << "nobody is current yet";
    chooser.ChooseRow("?PER:PERSONSNAME", 2);
    EXPECT_EQ(rt::rtrim(globals::personname().get()), "Ann Example");
    chooser.Press("?OKBUTTON");

    auto preview = user_.Find("Report Preview");
    EXPECT_TRUE(Maximised(preview));
    const auto pages = preview.Pages("?PAGES");
    ASSERT_EQ(pages->pages.size(), 1u);
    EXPECT_EQ(pages->title, "Prescripts Report");
    const wnd::Page& page = pages->pages[0];
    EXPECT_EQ(after(page, "Current Medication List For:"), "Ann Example");
    EXPECT_EQ(drugs(page), (Texts{"aspirin", "Coumadin", "Zocor"}));
    EXPECT_EQ(after(page, "Date:"), "03/10/2026");
    EXPECT_EQ(after(page, "Time:"), "9:41 AM");
    preview.Press("?EXIT");
    EXPECT_FALSE(user_.Has("prequick")) << "the chooser goes once its reports are done";
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(MedicationList, TheCurrentPersonIsChosenAlreadyAndALongNameStillMatches) {
    const std::string longName = "Bartholomew Alexander Featherstonehaugh-Smith";  // 45: `personname` keeps 40
    addPeopleAndPrescriptions({"Zoe Example", longName.c_str()},
                              {{"Zocor", longName.c_str(), "Y"}, {"Lipitor", "Zoe Example", "Y"}});
    // Another program stored the whole name; the record holds its first 40 characters, as the
    // chosen person's name does, so the listing keeps the row.
    testing_support::copyRows("PRESCRIP.sqlite", "PRESCRIP", "\"DRUGNAMEASPRESCRIBED\" = 'Lipitor'", 1,
                              {{"PERSONSNAME", "'" + longName + "'"}, {"DRUGNAMEASPRESCRIBED", "'Atenolol'"}});
    auto frame = program_.Start();
    globals::personname().set(longName);  // as the people list leaves it
    frame.Press("?REPORTSITEM21");
    auto chooser = user_.Find("prequick");
    EXPECT_EQ(chooser.Choice("?PER:PERSONSNAME"), 2);
    chooser.CloseBox();
    auto preview = user_.Find("Report Preview");
    EXPECT_EQ(drugs(preview.Pages("?PAGES")->pages.at(0)), (Texts{"Atenolol", "Zocor"}));
    preview.Press("?EXIT");
}

TEST_F(MedicationList, NothingToListShowsNoPreview) {
    // The second case adds to the first's prescriptions.
    const struct {
        const char* what;
        std::vector<Rx> rows;
        std::vector<int> messages;
    } cases[] = {
        {"no active prescription at all", {{"Zocor", "Ann Example", "N"}}, {25}},
        {"none of them the person's", {{"Zocor", "Zoe Example", "Y"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        addPeopleAndPrescriptions({}, c.rows);
        auto frame = program_.Start();
        globals::personname().set("Ann Example");
        frame.Press("?REPORTSITEM21");
        user_.Find("prequick").Press("?CANCELBUTTON");
        EXPECT_FALSE(user_.Has("Report Preview"));
        EXPECT_FALSE(user_.Has("prequick"));
        EXPECT_EQ(messages_.numbers(), c.messages);
        messages_.clear();
        program_.Stop();
    }
}

// The listing reads the person's active prescriptions in its order a page at a time: what it
// reads grows with the rows it prints, whatever else the file holds (the person's inactive ones,
// another person's active ones).
TEST_F(MedicationList, WhatTheListingReadsGrowsWithTheRowsItPrints) {
    addPeopleAndPrescriptions({"Ann", "Bea", "Cy", "Zoe"}, {{"Drug", "Ann", "Y"}, {"Drug", "Bea", "Y"}, {"Drug", "Cy", "Y"},
                                                            {"Old", "Cy", "N"}, {"Drug", "Zoe", "Y"}});
    const auto copies = [](const char* person, const char* active, int count) {
        testing_support::copyRows("PRESCRIP.sqlite", "PRESCRIP",
                                  std::string("t.\"PERSONSNAME\" = '") + person + "' AND t.\"ACTIVE\" = '" + active + "'", count,
                                  {{"DRUGNAMEASPRESCRIBED", "'Drug ' || (n.i * 7919 % 1000)"}});
    };
    copies("Ann", "Y", 39);
    copies("Bea", "Y", 399);
    copies("Cy", "Y", 399);
    copies("Cy", "N", 3000);
    copies("Zoe", "Y", 3000);
    testing_support::CountedReads counted("PRESCRIP");
    auto frame = program_.Start();
    const auto listing = [&](const char* person, std::size_t rows) {
        SCOPED_TRACE(person);
        counted.clear();
        globals::personname().set(person);
        frame.Press("?REPORTSITEM21");
        user_.Find("prequick").Press("?OKBUTTON");
        auto preview = user_.Find("Report Preview");
        std::size_t printed = 0;
        for (const wnd::Page& page : preview.Pages("?PAGES")->pages) printed += drugs(page).size();
        EXPECT_EQ(printed, rows);
        preview.Press("?EXIT");
        return counted.steps();
    };
    const long long forty = listing("Ann", 40), fourHundred = listing("Bea", 400), amongOthers = listing("Cy", 400);
    EXPECT_LT(fourHundred, 15 * forty) << fourHundred << " steps for 400 rows, " << forty << " for 40";
    EXPECT_LT(amongOthers, fourHundred + fourHundred / 2) << amongOthers << " steps beside 3 000 inactive, " << fourHundred << " alone";
}

}  // namespace
