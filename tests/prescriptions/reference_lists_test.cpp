// The six reference lists and their forms as a user meets them: each list started on a task thread
// of its own, as the prescription form's lookup buttons start it, on the headless presenter over a
// temporary data folder.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/table_classes.h"
#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/procedure_registry.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/task_windows_test.h"

namespace {

using Strings = std::vector<std::string>;

struct ListCase {
    const char* procedure;
    const data::TableBinding& (*table)();
    const char* caption;
    const char* tab;
    Strings headers;
    bool hasSelect;
    bool byName;  // false: the table's record order, and typed letters do not seek
    const char* form;
    const char* nameEntry;  // the form's first entry: the name its list sorts by
};

const ListCase kLists[] = {
    {"brwsdrugs", &data::DrugNamesBinding, "List Drug Names", "&1) By Name",
     {"Drug Name As Prescribed", "Generic Name", "Purpose"}, true, true, "UpdateDrugNames",
     "?DRU:DRUGNAMEASPRESCRIBED"},
    {"BrowseDoctors", &data::DoctorsBinding, "List Doctors ", "By Name", {"Doctors Name", "Phone Number"}, true,
     true, "UpdateDoctors", "?DOC:DOCTORSNAME"},
    {"BrowsePharmacy", &data::PharmacyBinding, "List Pharmacies", "By Name",
     {"Pharmacy Name", "Street Address", "Phone Number", "Hours", "Pharmacists Name", "Web Address"}, true, false,
     "UpdatePharmacy", "?PHA:PHARMACYNAME"},
    {"BrowseForms", &data::FormBinding, "List Drug Forms", "&1) By Type", {"Drug Form"}, false, true, "UpdateForm",
     "?FOR:DRUGFORM"},
    {"BrowsePlanName", &data::PlanNameBinding, "List the Plan Name", "&1) By Name", {"Plan Name"}, false, true,
     "UpdatePlanName", "?PLA:PLANNAME"},
    {"BrowseMfg", &data::ManufacturerBinding, "List the Manufacturers", "&1) By Name", {"Company Name"}, false, true,
     "UpdateManufacturer", "?MAN:COMPANYNAME"},
};

// A list without a Select button numbers its later buttons one lower.
std::string button(const ListCase& c, const char* name) {
    const bool view = std::string(name) == "VIEW";
    return "?" + std::string(name) + ":" + std::to_string((c.hasSelect ? 4 : 3) - (view ? 1 : 0));
}

// Adds one record per name, the name in the table's first field.
void seedNames(const data::TableBinding& t, const Strings& names) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& f = t.file();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        for (const std::string& n : names) {
            rt::clearRecord(t.desc(), t.buffer());
            rt::setFieldText(*t.desc().field(1), t.buffer(), n);
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

// The first field of every stored record, in record order, as another program reads them.
Strings storedNames(const rt::TableDesc& desc) {
    Strings out;
    std::thread([&] {
        std::string record(desc.recordSize, '\0');
        {
            files::TableFile f(desc, record.data(), nullptr);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) out.push_back(std::string(rt::rtrim(rt::fieldText(*desc.field(1), record.data()))));
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

Strings firstColumn(const std::vector<Strings>& rows) {
    Strings v;
    for (const auto& r : rows) v.push_back(r.at(0));
    return v;
}

class ReferenceLists : public testing_support::TaskWindowsTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(prescriptions::RegisterPrescriptionProcedures(&error)) << error;
        TaskWindowsTest::SetUp();
    }
    void TearDown() override {
        TaskWindowsTest::TearDown();
    }
    // Started as the lookup buttons start it: on a new thread.
    hl::UserWindow openList(const char* procedure) {
        shell::WindowProcedure list = shell::FindProcedure(procedure);
        if (!list) throw std::runtime_error(std::string(procedure) + " is not registered");
        wnd::StartTask(std::move(list), 25000);
        return user_.Find(procedure);
    }
    void close(hl::UserWindow& list) {
        list.Press("?CLOSE");
        rt::WaitForTaskThreads();
    }

};

TEST_F(ReferenceLists, EachOpensOverItsTableInItsOrderAndSeeksByName) {
    const Strings seeded = {"delta", "Alpha", "charlie", "Bravo"};
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.procedure);
        seedNames(c.table(), seeded);
        auto list = openList(c.procedure);
        EXPECT_EQ(list.Caption(), c.caption);
        EXPECT_EQ(list.Headers("?BROWSE:1"), c.headers);
        EXPECT_EQ(list.Control("?TAB:2").text, c.tab);
        EXPECT_TRUE(list.Hidden(button(c, "VIEW")));
        if (c.hasSelect) {
            EXPECT_TRUE(list.Hidden("?SELECT:2"));
        } else {
            EXPECT_THROW(list.Control("?SELECT:2"), std::runtime_error);
        }
        const auto rows = list.Rows("?BROWSE:1");
        ASSERT_EQ(rows.size(), seeded.size());
        EXPECT_EQ(rows[0].size(), c.headers.size());
        EXPECT_EQ(firstColumn(rows), c.byName ? Strings({"Alpha", "Bravo", "charlie", "delta"}) : seeded);
        EXPECT_EQ(list.Choice("?BROWSE:1"), 1);
        list.PressKey('C');
        EXPECT_EQ(list.Choice("?BROWSE:1"), c.byName ? 3 : 1);
        list.PressKey('B');
        EXPECT_EQ(list.Choice("?BROWSE:1"), c.byName ? 2 : 1);
        close(list);
    }
}

TEST_F(ReferenceLists, InsertChangeViewAndDeleteThroughTheForm) {
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.procedure);
        auto list = openList(c.procedure);
        EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
        EXPECT_TRUE(list.Enabled(button(c, "INSERT")));
        EXPECT_FALSE(list.Enabled(button(c, "CHANGE")));
        EXPECT_FALSE(list.Enabled(button(c, "DELETE")));

        // The keys allow duplicates: the same name twice makes two records, without a word.
        for (int i = 0; i < 2; ++i) {
            list.Press(button(c, "INSERT"));
            auto form = user_.Find(c.form);
            EXPECT_EQ(form.Caption(), "Record Will Be Added");
            EXPECT_EQ(form.Focus(), c.nameEntry);
            form.Fill(c.nameEntry, "Walnut");
            form.Press("?OK");
            EXPECT_FALSE(form.Open());
        }
        EXPECT_EQ(firstColumn(list.Rows("?BROWSE:1")), Strings({"Walnut", "Walnut"}));

        list.Press(button(c, "CHANGE"));
        auto changed = user_.Find(c.form);
        EXPECT_EQ(changed.Caption(), "Record Will Be Changed");
        EXPECT_EQ(changed.Text(c.nameEntry), "Walnut");
        changed.Fill(c.nameEntry, "Acorn");
        changed.Press("?OK");
        EXPECT_FALSE(changed.Open());
        auto rows = list.Rows("?BROWSE:1");
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows.at(static_cast<std::size_t>(list.Choice("?BROWSE:1") - 1)).at(0), "Acorn");
        if (c.byName) {
            EXPECT_EQ(firstColumn(rows), Strings({"Acorn", "Walnut"}));
        }

        // No View button shows, but the popup offers View.
        list.PressKey(wnd::kKeyApps);
        user_.ChoosePopup("&View");
        auto viewed = user_.Find(c.form);
        EXPECT_EQ(viewed.Caption(), "View Record");
        EXPECT_TRUE(viewed.Control(c.nameEntry).readOnly);
        viewed.Press("?OK");
        EXPECT_FALSE(viewed.Open());

        messages_.answer(cls::kButtonYes);
        list.Press(button(c, "DELETE"));
        EXPECT_EQ(messages_.numbers(), std::vector<int>{11});
        messages_.clear();
        EXPECT_EQ(firstColumn(list.Rows("?BROWSE:1")), Strings({"Walnut"}));
        EXPECT_EQ(storedNames(c.table().desc()), Strings({"Walnut"}));
        close(list);
    }
}

TEST_F(ReferenceLists, PlanNameListShowsTwentyCharactersItsFormAllFifty) {
    const std::string plan = "Blue Shield Senior Advantage Prescription Plan 50X";  // 50 characters
    seedNames(data::PlanNameBinding(), {plan});
    auto list = openList("BrowsePlanName");
    EXPECT_EQ(list.Rows("?BROWSE:1").at(0).at(0), plan.substr(0, 20));
    list.Press("?CHANGE:3");
    auto form = user_.Find("UpdatePlanName");
    EXPECT_EQ(form.Text("?PLA:PLANNAME"), plan);
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_TRUE(messages_.shown().empty());
    close(list);
}

TEST_F(ReferenceLists, PharmacyFormTakesTheZipCodeAfterTheStateAndTipsTheWebAddress) {
    auto list = openList("BrowsePharmacy");
    list.Press("?INSERT:4");
    auto form = user_.Find("UpdatePharmacy");
    EXPECT_EQ(form.Control("?PHA:WEBADDRESS").tip,
              "Add this if you can track your pharmaceutical orders\r\non the web through the web site.");
    form.Fill("?PHA:PHARMACYNAME", "Corner Drug");
    form.Fill("?PHA:STATE", "OH");
    EXPECT_EQ(form.Focus(), "?PHA:ZIPCODE");
    form.Fill("?PHA:ZIPCODE", "43004");
    EXPECT_EQ(form.Focus(), "?PHA:PHONENUMBER");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(list.Rows("?BROWSE:1").size(), 1u);
    close(list);
}

// A name's key holds no entry while the name is blank; the record is saved all the same.
TEST_F(ReferenceLists, ARecordIsSavedWithAnEmptyName) {
    auto list = openList("BrowseDoctors");
    list.Press("?INSERT:4");
    auto form = user_.Find("UpdateDoctors");
    form.Fill("?DOC:PHONENUMBER", "555-0100");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_EQ(storedNames(data::DoctorsTable()), Strings({""}));
    close(list);
}

}  // namespace
