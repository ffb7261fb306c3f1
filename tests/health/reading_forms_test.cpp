// The blood-pressure and blood-glucose forms as the health-profile form's reading lists call them:
// on the caller's thread, the reading in the thread's buffer (cleared and primed by the list for an
// insert), the request in CallRequest and `personname` set to the profile's person.
#include <string>
#include <vector>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/window_controller.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "readings_fixture.h"

namespace {

using namespace readings_test;

struct Member {
    const char* procedure;
    const rt::TableDesc& (*table)();
    cls::TableGroup* (*group)();
    const char* prefix;                  // "BLO" or "GLU"
    std::vector<const char*> measures;   // the reading's measured fields, in the form's order
    const char* title;                   // the form's stored caption
};

const Member kMembers[] = {
    {"UpdateBloodpre", &data::BloodpreTable, []() -> cls::TableGroup* { return data::BloodpreGroupRef; }, "BLO",
     {"SYSTOLIC", "DIASTOLIC", "PULSE"}, "Blood Pressure Form"},
    {"UpdateGlucose", &data::GlucoseTable, []() -> cls::TableGroup* { return data::GlucoseGroupRef; }, "GLU",
     {"READING"}, "Blood Glucose Form"},
};

std::string use(const Member& m, const std::string& field) { return "?" + std::string(m.prefix) + ":" + field; }
const rt::FieldDesc& field(const Member& m, const std::string& name) {
    return *m.table().fieldByName(std::string(m.prefix) + ":" + name);
}

// The stored readings of a table, as raw records.
std::vector<std::string> rows(const Member& m) {
    std::vector<std::string> out;
    std::thread([&] {
        {
            std::string r(m.table().recordSize, '\0');
            files::TableFile f(m.table(), r.data(), nullptr);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) out.push_back(r);
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

std::string text(const Member& m, const std::string& row, const std::string& name) {
    return std::string(rt::rtrim(rt::fieldText(field(m, name), row.data())));
}
double number(const Member& m, const std::string& row, const std::string& name) {
    return rt::fieldNumber(field(m, name), row.data());
}

// A stored reading of `person` at `date` with every measure `value`.
files::Position addReading(const Member& m, const std::string& person, rt::StdDate date, int value) {
    std::string r(m.table().recordSize, '\0');
    rt::clearRecord(m.table(), r.data());
    rt::setFieldText(field(m, "PERSONNAME"), r.data(), person);
    rt::setFieldText(field(m, "DATE"), r.data(), std::to_string(date));
    rt::setFieldText(field(m, "COMMENT"), r.data(), "stored");
    for (const char* measure : m.measures) rt::setFieldText(field(m, measure), r.data(), std::to_string(value));
    files::Position pos;
    std::thread([&] {
        {
            std::string buffer = r;
            files::TableFile f(m.table(), buffer.data(), nullptr);
            if (f.open() != 0) f.create();
            if ((f.isOpen() || f.open() == 0) && f.add() == 0) pos = f.position();
        }
        files::ReleaseThreadConnections();
    }).join();
    return pos;
}

class ReadingForms : public HealthTest {
protected:
    // Calls the form as the profile's reading list does: an insert on a cleared, primed buffer; any
    // other request on the stored reading at `at`.
    hl::UserWindow Call(const Member& m, int request, files::Position at = {}) {
        Start(m.procedure, [&m, request, at] {
            cls::TableAccessor& a = *m.group()->ME;
            if (request == cls::kRequestInsert) a.PrimeRecord(false);
            else a.TryFetchAt(at);
            globals::CallRequest = static_cast<std::uint8_t>(request);
        });
        return user_.Find(m.procedure);
    }
};

TEST_F(ReadingForms, ANewReadingIsStampedWithThePersonTodayAndNow) {
    const std::string longName = "Bartholomew Alexander Featherstonehaugh";  // 39 characters
    const struct {
        const char* person;
        std::string stored;
    } people[] = {{"Ann Example", "Ann Example"}, {"", ""}, {longName.c_str(), longName.substr(0, 35)}};
    for (const Member& m : kMembers)
        for (const auto& p : people) {
            SCOPED_TRACE(std::string(m.procedure) + " for \"" + p.person + "\"");
            globals::personname().set(p.person);
            auto form = Call(m, cls::kRequestInsert);
            EXPECT_EQ(form.Caption(), "Record Will Be Added");
            EXPECT_EQ(form.Text(use(m, "DATE")), "03/10/2026");
            EXPECT_EQ(form.Text(use(m, "TIME")), "2:05 PM");
            EXPECT_EQ(form.Focus(), use(m, "DATE"));
            for (const char* measure : m.measures) form.Fill(use(m, measure), "118");
            form.Fill(use(m, "COMMENT"), "after a walk");
            form.Press("?OK");
            EXPECT_FALSE(form.Open());
            EXPECT_EQ(Response(), cls::kResponseCompleted);
            const auto stored = rows(m);
            ASSERT_FALSE(stored.empty());
            const std::string& r = stored.back();
            EXPECT_EQ(text(m, r, "PERSONNAME"), p.stored);
            EXPECT_EQ(number(m, r, "DATE"), day());
            EXPECT_EQ(number(m, r, "TIME"), moment()) << "the time of day, hundredths and all";
            for (const char* measure : m.measures) EXPECT_EQ(number(m, r, measure), 118);
            EXPECT_EQ(text(m, r, "COMMENT"), "after a walk");
        }
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(ReadingForms, TheStampMayBeOverwrittenAndNothingIsRequired) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        globals::personname().set("Ann Example");
        auto form = Call(m, cls::kRequestInsert);
        form.Fill(use(m, "DATE"), "3/1/2026");
        form.Fill(use(m, "TIME"), "7:30 AM");
        form.Press("?OK");  // no reading entered: blank counts as 0
        EXPECT_EQ(Response(), cls::kResponseCompleted);
        const std::string r = rows(m).back();
        EXPECT_EQ(number(m, r, "DATE"), *rt::dateFromYmd(2026, 3, 1));
        EXPECT_EQ(rt::hmsFromTime(static_cast<rt::StdTime>(number(m, r, "TIME"))).hours, 7);
        for (const char* measure : m.measures) EXPECT_EQ(number(m, r, measure), 0);
    }
}

TEST_F(ReadingForms, AValueTheEntryCannotHoldIsRefusedAndTheFormStaysOpen) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        auto form = Call(m, cls::kRequestInsert);
        const std::string measure = use(m, m.measures.front());
        form.Fill(measure, "120");
        form.Fill(measure, "1200");  // three digits at most
        ASSERT_TRUE(user_.HasMessage());
        user_.Answer(wnd::kButtonOk);
        EXPECT_EQ(form.Text(measure), "120");
        form.Fill(use(m, "DATE"), "13/45/2026");
        ASSERT_TRUE(user_.HasMessage());
        user_.Answer(wnd::kButtonOk);
        EXPECT_EQ(form.Text(use(m, "DATE")), "03/10/2026");
        form.Press("?OK");
        EXPECT_EQ(Response(), cls::kResponseCompleted);
        EXPECT_EQ(number(m, rows(m).back(), m.measures.front()), 120);
    }
}

TEST_F(ReadingForms, AChangedReadingKeepsItsPersonWhoeverIsCurrent) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        const files::Position at = addReading(m, "Bob Example", day() - 3, 130);
        globals::personname().set("Ann Example");
        auto form = Call(m, cls::kRequestChange, at);
        EXPECT_EQ(form.Caption(), "Record Will Be Changed");
        EXPECT_EQ(form.Text(use(m, "DATE")), "03/07/2026");
        form.Fill(use(m, m.measures.front()), "125");
        form.Press("?OK");
        EXPECT_EQ(Response(), cls::kResponseCompleted);
        const auto stored = rows(m);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(text(m, stored[0], "PERSONNAME"), "Bob Example");
        EXPECT_EQ(number(m, stored[0], "DATE"), day() - 3);
        EXPECT_EQ(number(m, stored[0], m.measures.front()), 125);
    }
}

TEST_F(ReadingForms, ViewShowsTheReadingReadOnlyAndAnswersCancelled) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        const files::Position at = addReading(m, "Bob Example", day(), 99);
        auto form = Call(m, cls::kRequestView, at);
        EXPECT_EQ(form.Caption(), "View Record");
        for (const std::string f : {"DATE", "TIME", "COMMENT"}) EXPECT_TRUE(form.Control(use(m, f)).readOnly) << f;
        for (const char* measure : m.measures) {
            EXPECT_TRUE(form.Control(use(m, measure)).readOnly) << measure;
            EXPECT_EQ(form.Text(use(m, measure)), "99");
        }
        form.Press("?OK");
        EXPECT_FALSE(form.Open());
        EXPECT_EQ(Response(), cls::kResponseCancelled);
    }
}

TEST_F(ReadingForms, DeleteAsksAndNeverShowsTheForm) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        const files::Position at = addReading(m, "Bob Example", day(), 99);
        for (const unsigned answer : {cls::kButtonNo, cls::kButtonYes}) {
            messages_.answer(answer);
            Start(m.procedure, [&m, at] {
                m.group()->ME->TryFetchAt(at);
                globals::CallRequest = cls::kRequestDelete;
            });
            EXPECT_FALSE(user_.Has(m.procedure));
            const bool yes = answer == cls::kButtonYes;
            EXPECT_EQ(Response(), yes ? cls::kResponseCompleted : cls::kResponseCancelled);
            EXPECT_EQ(rows(m).size(), yes ? 0u : 1u);
            EXPECT_EQ(messages_.numbers(), std::vector<int>{11});
            messages_.clear();
        }
    }
}

TEST_F(ReadingForms, CancelAfterEditingAsksAndAddsNothing) {
    for (const Member& m : kMembers) {
        SCOPED_TRACE(m.procedure);
        auto form = Call(m, cls::kRequestInsert);
        form.Fill(use(m, "COMMENT"), "typed");
        messages_.answer(cls::kButtonYes);
        form.Press("?CANCEL");
        EXPECT_FALSE(form.Open());
        EXPECT_EQ(Response(), cls::kResponseCancelled);
        EXPECT_EQ(messages_.numbers(), std::vector<int>{10});
        EXPECT_TRUE(rows(m).empty());
        messages_.clear();
    }
}

}  // namespace
