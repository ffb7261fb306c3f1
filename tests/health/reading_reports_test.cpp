// The blood-pressure and blood-glucose logs as the health-profile form starts them: on a thread of
// their own, for the person `personname` names, into a maximised preview whose page footers carry
// the readings' averages, minimums, maximums and count.
#include <string>
#include <vector>

#include "data/thread_tables.h"
#include "platform/classes/window_controller.h"
#include "platform/runtime/fixed_string.h"
#include "readings_fixture.h"

namespace {

using namespace readings_test;

struct Reading {
    const char* person;
    int daysAgo;
    int hour;
    int value;  // glucose: the reading; blood pressure: systolic (diastolic value - 40, pulse value / 2)
};

void storeBloodpre(const std::vector<Reading>& readings) {
    std::vector<data::BloodpreRecord> records;
    for (const Reading& r : readings) {
        data::BloodpreRecord b{};
        rt::assign(b.PERSONNAME, r.person);
        rt::assign(b.COMMENT, "at " + std::to_string(r.hour));
        b.DATE.set(day() - r.daysAgo);
        b.TIME.set(*rt::timeFromHms(r.hour, 0, 0));
        b.SYSTOLIC = r.value;
        b.DIASTOLIC = r.value - 40;
        b.PULSE = r.value / 2.0;
        records.push_back(b);
    }
    store(data::BloodpreTable(), records);
}

void storeGlucose(const std::vector<Reading>& readings) {
    std::vector<data::GlucoseRecord> records;
    for (const Reading& r : readings) {
        data::GlucoseRecord g{};
        rt::assign(g.PERSONNAME, r.person);
        rt::assign(g.COMMENT, "at " + std::to_string(r.hour));
        g.DATE.set(day() - r.daysAgo);
        g.TIME.set(*rt::timeFromHms(r.hour, 0, 0));
        g.READING = static_cast<std::int16_t>(r.value);
        records.push_back(g);
    }
    store(data::GlucoseTable(), records);
}

struct Log {
    const char* procedure;
    void (*store)(const std::vector<Reading>&);
    const char* title;
};

const Log kLogs[] = {
    {"bpaverages", &storeBloodpre, "Blood Pressure Report For: "},
    {"glucreport", &storeGlucose, "Blood Glucose Report For:"},
};

// The `count` texts after a label on a page.
Texts row(const wnd::Page& page, const std::string& label, std::size_t count) {
    const Texts t = texts(page);
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] == label) return Texts(t.begin() + static_cast<long>(i) + 1, t.begin() + static_cast<long>(std::min(t.size(), i + 1 + count)));
    return {};
}

// The comments of a page's detail lines, in print order ("at 8" for a reading taken at 8:00).
Texts comments(const wnd::Page& page) {
    Texts out;
    for (const std::string& t : texts(page))
        if (t.rfind("at ", 0) == 0) out.push_back(t);
    return out;
}

class ReadingReports : public HealthTest {
protected:
    hl::UserWindow Print(const Log& log, const std::string& person) {
        globals::personname().set(person);
        Start(log.procedure);
        return user_.Find("Report Preview");
    }
};

TEST_F(ReadingReports, FootersTotalTheCurrentPersonsReadingsOnly) {
    const std::vector<Reading> readings = {
        {"Ann Example", 2, 8, 120}, {"Bob Example", 1, 9, 300},   {"Ann Example", 0, 7, 150},
        {"ann example", 1, 6, 10},  {"Ann Example", 5, 20, 105}, {"Ann Example  ", 1, 12, 135}};
    for (const Log& log : kLogs) {
        SCOPED_TRACE(log.procedure);
        log.store(readings);
        auto preview = Print(log, "Ann Example");
        EXPECT_TRUE(Maximised(preview));
        const auto pages = preview.Pages("?PAGES");
        ASSERT_EQ(pages->pages.size(), 1u);
        const wnd::Page& page = pages->pages[0];
        EXPECT_EQ(after(page, log.title), "Ann Example");
        // Average (120+150+105+135)/4 = 127.5; letter case counts, trailing blanks do not.
        if (std::string(log.procedure) == "bpaverages") {
            EXPECT_EQ(row(page, "Averages:", 3), (Texts{"127.50", "87.50", "63.75"}));
            EXPECT_EQ(row(page, "Minimums:", 3), (Texts{"105.00", "65.00", "52.50"}));
            EXPECT_EQ(row(page, "Maximums:", 3), (Texts{"150.00", "110.00", "75.00"}));
            EXPECT_EQ(comments(page), (Texts{"at 20", "at 8", "at 12", "at 7"})) << "oldest day first";
            EXPECT_EQ(texts(page)[2], "Date") << "the column headings follow the title";
        } else {
            EXPECT_EQ(row(page, "Averages:", 1), (Texts{"128"})) << "whole numbers";
            EXPECT_EQ(row(page, "Minimums:", 1), (Texts{"105"}));
            EXPECT_EQ(row(page, "Maximums:", 1), (Texts{"150"}));
            EXPECT_EQ(comments(page), (Texts{"at 7", "at 12", "at 8", "at 20"})) << "newest day first";
        }
        EXPECT_EQ(row(page, "Number of Readings:", 1), (Texts{"4"}));
        EXPECT_EQ(after(page, "Date:"), "03/10/2026");
        EXPECT_EQ(after(page, "Time:"), "2:05 PM");
        EXPECT_EQ(texts(page).back(), "Page 1");
        EXPECT_NE(std::find(texts(page).begin(), texts(page).end(), globals::kDisclaimerText), texts(page).end());
        preview.Press("?EXIT");
        EXPECT_EQ(Response(), cls::kResponseCompleted);
    }
}

TEST_F(ReadingReports, EachPageFooterCoversTheReadingsUpToThatPage) {
    std::vector<Reading> many;
    for (int i = 0; i < 40; ++i) many.push_back({"Ann Example", 40 - i, 8, i < 30 ? 100 : 200});
    for (const Log& log : kLogs) {
        SCOPED_TRACE(log.procedure);
        log.store(many);
        auto preview = Print(log, "Ann Example");
        const auto pages = preview.Pages("?PAGES");
        ASSERT_EQ(pages->pages.size(), 2u) << "thirty lines above the footer";
        const bool bp = std::string(log.procedure) == "bpaverages";
        // Blood pressure runs oldest first (the 100s), glucose newest first (the 200s).
        EXPECT_EQ(row(pages->pages[0], "Number of Readings:", 1), (Texts{"30"}));
        EXPECT_EQ(row(pages->pages[0], "Maximums:", 1), (Texts{bp ? "100.00" : "200"}));
        EXPECT_EQ(row(pages->pages[1], "Number of Readings:", 1), (Texts{"40"}));
        EXPECT_EQ(row(pages->pages[1], "Maximums:", 1), (Texts{bp ? "200.00" : "200"}));
        EXPECT_EQ(row(pages->pages[1], "Minimums:", 1), (Texts{bp ? "100.00" : "100"}));
        EXPECT_EQ(row(pages->pages[1], "Averages:", 1), (Texts{bp ? "125.00" : "125"}));
        EXPECT_EQ(texts(pages->pages[1]).back(), "Page 2");
        preview.Press("?EXIT");
        Response();
    }
}

TEST_F(ReadingReports, APersonWithoutReadingsGetsNoRecords) {
    for (const Log& log : kLogs) {
        SCOPED_TRACE(log.procedure);
        log.store({{"Bob Example", 1, 9, 130}});
        globals::personname().set("Ann Example");
        Start(log.procedure);
        EXPECT_FALSE(user_.Has("Report Preview"));
        EXPECT_EQ(Response(), cls::kResponseCancelled);
        EXPECT_EQ(messages_.numbers(), std::vector<int>{25});
        EXPECT_EQ(messages_.shown().at(0).caption, "No Records");
        messages_.clear();
    }
}

TEST_F(ReadingReports, ALongNameFindsTheReadingsThatKeepItsFirst35Characters) {
    const std::string name = "Bartholomew Alexander Featherstonehaugh";  // 39: a reading keeps 35
    for (const Log& log : kLogs) {
        SCOPED_TRACE(log.procedure);
        log.store({{name.c_str(), 1, 9, 130}, {"Bartholomew Alexander Featherstone", 1, 10, 140}});
        auto preview = Print(log, name);
        const wnd::Page& page = preview.Pages("?PAGES")->pages.at(0);
        EXPECT_EQ(comments(page), (Texts{"at 9"})) << "a shorter name is another person";
        EXPECT_EQ(after(page, log.title), name) << "the header names the person in full";
        preview.Press("?EXIT");
        Response();
    }
}

}  // namespace
