// The prescription form as a user meets it: the frame's menu opens the list, the list's buttons
// open the form, on the headless presenter over seeded reference tables in a temporary folder.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "data/persons_record.h"
#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/form_controller.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "prescriptions/update_prescripts.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"
#include "support/headless_program.h"
#include "support/program_fixture.h"
#include "support/program_test.h"
#include "support/seed_records.h"
#include "support/task_thread.h"

namespace {

rt::StdDate date(int y, int m, int d) { return *rt::dateFromYmd(y, m, d); }

// A function, not a constant: the date tables of the runtime may not be set up at static start.
rt::StdDate today2008() { return date(2008, 1, 10); }
const std::string kLongPerson = "Margaret Anne Fitzwilliam-Oyelaran-Castellanos";  // 46 characters

void seedReferenceTables() {
    testing_support::SeedRecords(&data::PersonsNameFile, {"mother", kLongPerson, "Aaron"}, [](const std::string& n) {
        rt::assign(data::PER.PERSONSNAME, n);
        rt::assign(data::PER.GENDER, "F");
    });
    testing_support::SeedRecords(&data::DoctorsFile, {"Dr. Zed", "Dr. Brown"}, [](const std::string& n) { rt::assign(data::DOC.DOCTORSNAME, n); });
    testing_support::SeedRecords(&data::DrugNamesFile, {"Zocor", "Aspirin"}, [](const std::string& n) {
        rt::assign(data::DRU.DRUGNAMEASPRESCRIBED, n);
        rt::assign(data::DRU.GENERICNAME, n == "Aspirin" ? "acetylsalicylic acid" : "simvastatin");
        rt::assign(data::DRU.PURPOSE, n == "Aspirin" ? "Pain" : "Cholesterol");
    });
    testing_support::SeedRecords(&data::FormFile, {"Tablet"}, [](const std::string& n) { rt::assign(data::FOR.DRUGFORM, n); });
    testing_support::SeedRecords(&data::PlanNameFile, {"Medicare D"}, [](const std::string& n) { rt::assign(data::PLA.PLANNAME, n); });
    testing_support::SeedRecords(&data::ManufacturerFile, {"Bayer"}, [](const std::string& n) { rt::assign(data::MAN.COMPANYNAME, n); });
    testing_support::SeedRecords(&data::PharmacyFile, {"Corner Drug"}, [](const std::string& n) { rt::assign(data::PHA.PHARMACYNAME, n); });
}

struct Stored {
    std::int64_t version = 0;
    data::PrescriptsRecord pre{};
    std::string notes;
};

// The prescriptions as another program sees them: a thread with its own connection.
std::vector<Stored> stored() {
    std::vector<Stored> out;
    std::thread([&] {
        data::PrescriptsRecord r{};
        std::string memo;
        {
            files::TableFile f(data::PrescriptsTable(), &r, &memo);
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                while (f.next() == 0) out.push_back({f.version(), r, memo});
            }
        }
        files::ReleaseThreadConnections();
    }).join();
    return out;
}

// A prescription as the form would have saved it, so that opening it changes nothing.
data::PrescriptsRecord savedPrescription(const std::string& person) {
    data::PrescriptsRecord p{};
    rt::clearRecord(data::PrescriptsTable(), &p);
    rt::assign(p.DRUGNAMEASPRESCRIBED, "Zocor");
    rt::assign(p.GENERICNAME, "simvastatin");
    rt::assign(p.PURPOSE, "Cholesterol");
    rt::assign(p.PERSONSNAME, person);
    rt::assign(p.DRNAME, "Dr. Zed");
    rt::assign(p.ACTIVE, "Y");
    p.DATEFILLED.set(date(2007, 12, 1));
    p.EXPIRATIONDISCARDDATE.set(date(2008, 11, 30));
    p.COST.setScaled(100);
    rt::assignC(p.PRINTKEY, prescriptions::ComposePrintKey(p));
    return p;
}

void addPrescription(const data::PrescriptsRecord& p) {
    testing_support::runOnTaskThread([&] {
        files::TableFile& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        data::PRE = p;
        data::PRE_SpecialInstructionsNotes.clear();
        ASSERT_EQ(f.add(), 0);
        f.close();
    });
}

class PrescriptionForm : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        rt::setFixedClock(today2008());
        ProgramTest::SetUp();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        rt::useSystemClock();
    }
    hl::UserWindow OpenList() {
        program_.Start().Press("?BROWSEPRESCRIPTS");
        return user_.Find("BrowsePrescripts");
    }
    // Mother's saved prescription, opened for change from the list, over the seeded tables.
    hl::UserWindow OpenSavedForChange() {
        seedReferenceTables();
        addPrescription(savedPrescription("mother"));
        OpenList().Press("?CHANGE:4");
        return user_.Find("UpdatePrescripts");
    }

};

TEST_F(PrescriptionForm, InsertEndToEndFromTheMenu) {
    seedReferenceTables();
    addPrescription(savedPrescription("mother"));
    auto list = OpenList();
    list.Press("?INSERT:4");
    auto form = user_.Find("UpdatePrescripts");
    EXPECT_EQ(form.Caption(), "Record Will Be Added");
    EXPECT_EQ(form.Focus(), "?DRU:DRUGNAMEASPRESCRIBED");
    // The person sorting first ignoring case is proposed; the other lookups start empty.
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "Aaron");
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "");
    EXPECT_TRUE(form.Checked("?PRE:ACTIVE"));
    EXPECT_EQ(form.Text("?PRE:DATEINACTIVE"), "");
    EXPECT_EQ(form.Text("?PRE:NUMBERREFILLS"), "0") << "below the spin box's range, and saved all the same";
    EXPECT_EQ(form.Text("?PRE:NUMBER"), "0");
    for (const char* button : {"?BUTTON4", "?BUTTON4:2", "?BUTTON4:3", "?BUTTON4:5", "?BUTTON4:6", "?BUTTON4:7"})
        EXPECT_TRUE(form.Enabled(button)) << button;
    EXPECT_FALSE(form.Enabled("?BUTTON4:4")) << "the people list does not exist yet";
    EXPECT_TRUE(form.Enabled("?PRINT"));

    form.ChooseRow("?DRU:DRUGNAMEASPRESCRIBED", 1);
    EXPECT_EQ(form.Text("?DRU:DRUGNAMEASPRESCRIBED"), "Aspirin");
    EXPECT_EQ(form.Text("?PRE:GENERICNAME"), "acetylsalicylic acid");
    EXPECT_EQ(form.Text("?PRE:PURPOSE"), "Pain");
    form.Fill("?PER:PERSONSNAME", "MOTH");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "mother") << "the table's spelling";
    form.Fill("?DOC:DOCTORSNAME", "dr. b");
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr. Brown");
    form.ChooseRow("?FOR:DRUGFORM", 1);
    form.ChooseRow("?PLA:PLANNAME", 1);
    form.ChooseRow("?MAN:COMPANYNAME", 1);
    form.ChooseRow("?PHA:PHARMACYNAME", 1);
    form.Fill("?PRE:COST", "12.50");

    // A typed fill date proposes the expiration a year of days on (2008 is a leap year).
    form.Fill("?PRE:DATEFILLED", "01/15/2008");
    EXPECT_EQ(form.Text("?PRE:EXPIRATIONDISCARDDATE"), "01/14/2009");
    form.Fill("?PRE:EXPIRATIONDISCARDDATE", "06/30/2008");
    form.Fill("?PRE:DATEFILLED", "03/01/2008");
    EXPECT_EQ(form.Text("?PRE:EXPIRATIONDISCARDDATE"), "06/30/2008") << "an entered date is kept";
    form.Fill("?PRE:EXPIRATIONDISCARDDATE", "");
    form.Click("?PRE:REFILLEVERY:2");
    form.Click("?PRE:EXPIRATIONDISCARDDATE");
    EXPECT_EQ(form.Text("?PRE:EXPIRATIONDISCARDDATE"), "03/01/2009") << "proposed again on entering it";

    form.Press("?CALENDAR:3");
    auto calendar = user_.Find("Select Reminder Date");
    EXPECT_EQ(calendar.Text("?MONTH").find("January"), 0u) << calendar.Text("?MONTH");
    std::string day20;
    for (int d = 1; d <= 42; ++d)
        if (calendar.Text("?DAY" + std::to_string(d)) == "20") day20 = "?DAY" + std::to_string(d);
    ASSERT_FALSE(day20.empty());
    calendar.Press(day20);
    EXPECT_EQ(form.Text("?PRE:REFILLREMINDERDATE:2"), "01/20/2008");
    EXPECT_EQ(form.Text("?PRE:DATEFILLED"), "03/01/2008") << "the calendar stores into its own field only";

    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_TRUE(messages_.shown().empty());

    const auto rows = stored();
    ASSERT_EQ(rows.size(), 2u);
    const data::PrescriptsRecord& p = rows[1].pre;
    EXPECT_EQ(rt::cstr(p.PRINTKEY), "Aspirin" + std::to_string(date(2008, 3, 1)) + "Ymother");
    EXPECT_EQ(rt::clip(p.GENERICNAME), "acetylsalicylic acid");
    EXPECT_EQ(rt::clip(p.PURPOSE), "Pain");
    EXPECT_EQ(rt::clip(p.PERSONSNAME), "mother");
    EXPECT_EQ(rt::clip(p.DRNAME), "Dr. Brown");
    EXPECT_EQ(rt::clip(p.FORM), "Tablet");
    EXPECT_EQ(rt::clip(p.PLANNAME), "Medicare D");
    EXPECT_EQ(rt::clip(p.MANUFACTURERNAME), "Bayer");
    EXPECT_EQ(rt::clip(p.PHARMACYNAME), "Corner Drug");
    EXPECT_EQ(p.EXPIRATIONDISCARDDATE.get(), date(2009, 3, 1));
    EXPECT_EQ(p.REFILLREMINDERDATE.get(), date(2008, 1, 20));
    EXPECT_EQ(p.DATEINACTIVE.get(), 0);
    EXPECT_EQ(double{p.NUMBERREFILLS}, 0.0);  // copied out: the packed record's fields are not aligned
    EXPECT_EQ(int{p.NUMBER}, 0);

    // Back in the list: the new prescription highlighted (Dr. Brown sorts first), the total grown.
    const auto shown = list.Rows("?BROWSE:1");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown.at(static_cast<std::size_t>(list.Choice("?BROWSE:1") - 1)).at(0), "Aspirin");
    EXPECT_NE(list.Text("?TOTCOST").find("13.50"), std::string::npos) << list.Text("?TOTCOST");
}

TEST_F(PrescriptionForm, CancelledInsertLeavesNoRecord) {
    seedReferenceTables();
    auto list = OpenList();
    enum class Way { Cancel, CloseBox, CtrlF4 };
    for (const Way way : {Way::Cancel, Way::CloseBox, Way::CtrlF4}) {
        SCOPED_TRACE(way == Way::Cancel ? "Cancel" : way == Way::CloseBox ? "close box" : "Ctrl+F4");
        list.Press("?INSERT:4");
        auto form = user_.Find("UpdatePrescripts");
        form.Fill("?PRE:RXNUMBER", "12345");
        auto close = [&] {
            if (way == Way::CloseBox) form.CloseBox();
            else if (way == Way::CtrlF4) form.PressKey(wnd::kCtrl | wnd::kKeyF4);
            else form.Press("?CANCEL");
        };
        // Kept when the user says No, let go on Yes.
        messages_.answer(cls::kButtonNo);
        close();
        ASSERT_TRUE(form.Open());
        EXPECT_EQ(form.Text("?PRE:RXNUMBER"), "12345");
        EXPECT_EQ(messages_.numbers(), std::vector<int>{10});
        messages_.clear();
        messages_.answer(cls::kButtonYes);
        close();
        EXPECT_FALSE(form.Open());
        EXPECT_EQ(messages_.numbers(), std::vector<int>{10});
        messages_.clear();
        EXPECT_TRUE(stored().empty());
        EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
    }
}

TEST_F(PrescriptionForm, ChangeWithoutEditsWritesNothing) {
    seedReferenceTables();
    // A person kept to the prescription's 40 characters still matches the table's 46; a person no
    // longer in the table is kept and shown, not replaced by the first one.
    addPrescription(savedPrescription(kLongPerson.substr(0, 40)));
    addPrescription(savedPrescription("Gone Person"));
    const auto before = stored();
    auto list = OpenList();
    const std::string shownPerson[] = {kLongPerson, "Gone Person"};
    for (int row = 1; row <= 2; ++row) {
        list.ChooseRow("?BROWSE:1", row);
        list.Press("?CHANGE:4");
        auto form = user_.Find("UpdatePrescripts");
        EXPECT_EQ(form.Caption(), "Record Will Be Changed");
        const std::string person = form.Text("?PER:PERSONSNAME");
        EXPECT_TRUE(person == shownPerson[0] || person == shownPerson[1]) << person;
        EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr. Zed");
        form.Press("?OK");
        EXPECT_FALSE(form.Open());
    }
    const auto after = stored();
    ASSERT_EQ(after.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(after[i].version, before[i].version) << "nothing was written";
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(PrescriptionForm, ChangesWillBeLostAskedBothWays) {
    auto form = OpenSavedForChange();
    form.Fill("?PRE:RXNUMBER", "999");
    messages_.answer(cls::kButtonNo);
    form.Press("?CANCEL");
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Changes will be lost!");
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(form.Text("?PRE:RXNUMBER"), "999");
    messages_.answer(cls::kButtonYes);
    form.Press("?CANCEL");
    EXPECT_FALSE(form.Open());
    EXPECT_EQ(messages_.numbers(), (std::vector<int>{10, 10}));
    EXPECT_EQ(rt::clip(stored().at(0).pre.RXNUMBER), "");
}

TEST_F(PrescriptionForm, DeleteConfirmedAndRefused) {
    seedReferenceTables();
    addPrescription(savedPrescription("mother"));
    auto list = OpenList();
    messages_.answer(cls::kButtonNo);
    list.Press("?DELETE:4");
    EXPECT_EQ(stored().size(), 1u);
    messages_.answer(cls::kButtonYes);
    list.Press("?DELETE:4");
    EXPECT_TRUE(stored().empty());
    EXPECT_TRUE(list.Rows("?BROWSE:1").empty());
    EXPECT_FALSE(user_.Has("UpdatePrescripts")) << "a delete never shows the form";
    EXPECT_EQ(messages_.numbers(), (std::vector<int>{11, 11}));
}

// A name the reference table lacks opens its form as an insert with the name filled in; OK adds
// it and the lookup selects it, Cancel adds nothing and empties the lookup.
TEST_F(PrescriptionForm, TypedNamesNotInTheTablesAreOfferedToTheirForms) {
    seedReferenceTables();
    auto list = OpenList();
    list.Press("?INSERT:4");
    auto form = user_.Find("UpdatePrescripts");

    form.Fill("?DOC:DOCTORSNAME", "Dr. Nobody");
    auto doctor = user_.Find("UpdateDoctors");
    EXPECT_EQ(doctor.Caption(), "Record Will Be Added");
    EXPECT_EQ(doctor.Text("?DOC:DOCTORSNAME"), "Dr. Nobody");
    EXPECT_TRUE(form.Inert()) << "the insert form runs on the prescription form's thread";
    doctor.Fill("?DOC:SPECIALTY", "Cardiology");
    doctor.Press("?OK");
    EXPECT_FALSE(doctor.Open());
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr. Nobody");
    EXPECT_EQ(form.Rows("?DOC:DOCTORSNAME").size(), 3u) << "the lookup read its table again";

    // The drug's form hands back its generic name and purpose as well.
    form.Fill("?DRU:DRUGNAMEASPRESCRIBED", "Lisinopril");
    auto drug = user_.Find("UpdateDrugNames");
    EXPECT_EQ(drug.Caption(), "Record Will Be Added");
    EXPECT_EQ(drug.Text("?DRU:DRUGNAMEASPRESCRIBED"), "Lisinopril");
    drug.Fill("?DRU:GENERICNAME", "lisinopril");
    drug.Fill("?DRU:PURPOSE", "Blood pressure");
    drug.Press("?OK");
    EXPECT_EQ(form.Text("?DRU:DRUGNAMEASPRESCRIBED"), "Lisinopril");
    EXPECT_EQ(form.Text("?PRE:GENERICNAME"), "lisinopril");
    EXPECT_EQ(form.Text("?PRE:PURPOSE"), "Blood pressure");

    form.Fill("?FOR:DRUGFORM", "Gel");
    auto drugForm = user_.Find("UpdateForm");
    EXPECT_EQ(drugForm.Text("?FOR:DRUGFORM"), "Gel");
    drugForm.Press("?CANCEL");
    EXPECT_FALSE(drugForm.Open());
    EXPECT_EQ(form.Text("?FOR:DRUGFORM"), "");
    EXPECT_EQ(form.Focus(), "?FOR:DRUGFORM");

    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_TRUE(messages_.shown().empty());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    const data::PrescriptsRecord& p = rows[0].pre;
    EXPECT_EQ(rt::clip(p.DRNAME), "Dr. Nobody");
    EXPECT_EQ(rt::clip(p.DRUGNAMEASPRESCRIBED), "Lisinopril");
    EXPECT_EQ(rt::clip(p.GENERICNAME), "lisinopril");
    EXPECT_EQ(rt::clip(p.PURPOSE), "Blood pressure");
    EXPECT_EQ(rt::clip(p.FORM), "");
}

// The lookup buttons start their lists on threads of their own: the form stays usable beside
// the list, and meets what the list added at its next forced refresh.
TEST_F(PrescriptionForm, ALookupButtonStartsItsListBesideTheForm) {
    seedReferenceTables();
    auto list = OpenList();
    list.Press("?INSERT:4");
    auto form = user_.Find("UpdatePrescripts");
    form.Press("?BUTTON4:2");
    auto doctors = user_.Find("BrowseDoctors");
    const auto rows = doctors.Rows("?BROWSE:1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at(0), "Dr. Brown");
    EXPECT_FALSE(form.Inert());
    form.Fill("?PRE:RXNUMBER", "R-7");

    doctors.Press("?INSERT:4");
    auto doctor = user_.Find("UpdateDoctors");
    EXPECT_FALSE(form.Inert()) << "the list's form runs on the list's thread";
    doctor.Fill("?DOC:DOCTORSNAME", "Dr. Adams");
    doctor.Press("?OK");
    EXPECT_EQ(form.Rows("?DOC:DOCTORSNAME").size(), 2u) << "not before the lookups fill again";
    form.Press("?CALENDAR");
    user_.Find("Date Filled?").CloseBox();
    EXPECT_EQ(form.Rows("?DOC:DOCTORSNAME").size(), 3u);
    form.Fill("?DOC:DOCTORSNAME", "dr. a");
    EXPECT_EQ(form.Text("?DOC:DOCTORSNAME"), "Dr. Adams");

    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_TRUE(doctors.Open());
    EXPECT_EQ(rt::clip(stored().at(0).pre.DRNAME), "Dr. Adams");
    EXPECT_EQ(rt::clip(stored().at(0).pre.RXNUMBER), "R-7");
}

// The refills and quantity spin boxes refuse typed values outside 1..24 and 1..1000, keeping the
// old value; a stored 0 is shown and passes OK untouched.
TEST_F(PrescriptionForm, SpinBoxesRefuseTypedValuesOutsideTheirRangeButKeepAStoredZero) {
    auto form = OpenSavedForChange();
    EXPECT_EQ(form.Text("?PRE:NUMBERREFILLS"), "0");
    EXPECT_EQ(form.Text("?PRE:NUMBER"), "0");
    const struct {
        const char* use;
        const char* typed;
        const char* says;
    } refused[] = {
        {"?PRE:NUMBERREFILLS", "25", "must be between 1 and 24"},
        {"?PRE:NUMBERREFILLS", "0", "must be between 1 and 24"},
        {"?PRE:NUMBER", "1001", "must be between 1 and 1000"},
        {"?PRE:NUMBER", "-3", "must be between 1 and 1000"},
    };
    for (const auto& r : refused) {
        form.Fill(r.use, r.typed);
        const auto boxes = user_.Messages();
        ASSERT_EQ(boxes.size(), 1u) << r.use << " " << r.typed;
        EXPECT_NE(boxes[0].text.find(r.says), std::string::npos) << boxes[0].text;
        user_.Answer(wnd::kButtonOk);
        EXPECT_EQ(form.Text(r.use), "0") << r.use << " " << r.typed;
    }
    // OK pressed straight after a value the box refuses: the form stays, at the field, unsaved.
    form.Type("?PRE:NUMBERREFILLS", "30");
    form.Press("?OK");
    ASSERT_EQ(user_.Messages().size(), 1u);
    user_.Answer(wnd::kButtonOk);
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(form.Focus(), "?PRE:NUMBERREFILLS");
    EXPECT_EQ(form.Text("?PRE:NUMBERREFILLS"), "0");
    EXPECT_EQ(rt::clip(stored().at(0).pre.RXNUMBER), rt::clip(savedPrescription("mother").RXNUMBER));
    form.Fill("?PRE:NUMBER", "1000");
    EXPECT_FALSE(user_.HasMessage());
    form.Fill("?PRE:RXNUMBER", "777");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_FALSE(user_.HasMessage());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rt::clip(rows[0].pre.RXNUMBER), "777");
    EXPECT_EQ(int{rows[0].pre.NUMBER}, 1000);
    EXPECT_EQ(double{rows[0].pre.NUMBERREFILLS}, 0.0) << "the stored 0 passed OK untouched";
}

TEST_F(PrescriptionForm, TwoListsChangingOnePrescriptionMeetMessage8AndRecallTheNotes) {
    seedReferenceTables();
    addPrescription(savedPrescription("mother"));
    auto frame = program_.Start();
    frame.Press("?BROWSEPRESCRIPTS");
    auto listA = user_.Find("BrowsePrescripts");
    frame.Press("?BROWSEPRESCRIPTS");
    auto listB = user_.Find("BrowsePrescripts");
    ASSERT_NE(listA.id(), listB.id());
    listA.Press("?CHANGE:4");
    auto formA = user_.Find("UpdatePrescripts");
    listB.Press("?CHANGE:4");
    auto formB = user_.Find("UpdatePrescripts");
    ASSERT_NE(formA.id(), formB.id());

    formA.Type("?PRE:SPECIALINSTRUCTIONSNOTES", "Take with food");
    formA.Fill("?PRE:RXNUMBER", "A-1");
    formA.Press("?OK");
    EXPECT_FALSE(formA.Open());

    formB.Type("?PRE:SPECIALINSTRUCTIONSNOTES", "Ask about dizziness");
    formB.Press("?OK");
    EXPECT_EQ(messages_.numbers(), std::vector<int>{8});
    ASSERT_TRUE(formB.Open()) << "the form stays open with the stored prescription";
    EXPECT_EQ(formB.Text("?PRE:SPECIALINSTRUCTIONSNOTES"), "Take with food");
    EXPECT_EQ(formB.Text("?PRE:RXNUMBER"), "A-1");
    formB.Click("?PRE:SPECIALINSTRUCTIONSNOTES");
    formB.PressKey(cls::kHistoryKeyCtrlH);
    EXPECT_EQ(formB.Text("?PRE:SPECIALINSTRUCTIONSNOTES"), "Ask about dizziness");
    formB.Press("?OK");
    EXPECT_FALSE(formB.Open());

    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].notes, "Ask about dizziness");
    EXPECT_EQ(rt::clip(rows[0].pre.RXNUMBER), "A-1") << "the first writer's other values stay";
    EXPECT_EQ(messages_.numbers(), std::vector<int>{8});
}

TEST_F(PrescriptionForm, TheNotesKeepAsMuchAsTheMemoHoldsAndLeaveOutOnlyWhatItCannotStore) {
    auto form = OpenSavedForChange();
    // A long paste with a character the code page lacks in every sentence: nothing is emptied,
    // no box is shown, the notes hold the memo's 1000 characters of the rest.
    const std::string sentence = "Take with food \xF0\x9F\x92\x8A twice a day. ";  // 33 characters kept of 34
    std::string pasted, kept;
    while (pasted.size() < 70000) pasted += sentence;
    while (kept.size() < 1000) kept += "Take with food  twice a day. ";
    kept.resize(1000);
    form.Type("?PRE:SPECIALINSTRUCTIONSNOTES", pasted);
    EXPECT_EQ(form.Text("?PRE:SPECIALINSTRUCTIONSNOTES"), kept);
    ASSERT_FALSE(form.Notes().empty());
    EXPECT_EQ(form.Notes().back(), "The character \xF0\x9F\x92\x8A cannot be stored here.");
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    EXPECT_FALSE(user_.HasMessage());
    EXPECT_TRUE(messages_.shown().empty());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].notes, kept);
}

// View mode: the list of this program hides its View button, so a task calls the form itself.
TEST_F(PrescriptionForm, ViewModeIsReadOnlyAndWritesNothing) {
    seedReferenceTables();
    addPrescription(savedPrescription("mother"));
    const auto before = stored();
    std::atomic<int> response{-1};
    testing_support::prepareProgramThreads();
    if (rt::CurrentThreadNumber() == 0) rt::TouchThreadData();
    wnd::StartTask(
        [&response] {
            files::TableFile& f = data::PrescriptsFile();
            if (f.open() == 0) {
                f.setKeyOrder(-1);
                f.next();
            }
            globals::CallRequest = globals::kView;
            prescriptions::UpdatePrescripts();
            response = globals::CallResponse;
        },
        0);
    auto form = user_.Find("UpdatePrescripts");
    EXPECT_EQ(form.Caption(), "View Record");
    EXPECT_EQ(form.Text("?DRU:DRUGNAMEASPRESCRIBED"), "Zocor");
    for (const char* entry : {"?PRE:GENERICNAME", "?PRE:DATEFILLED", "?PRE:COST", "?PRE:DATEINACTIVE"})
        EXPECT_TRUE(form.Control(entry).readOnly) << entry;
    for (const char* off : {"?DRU:DRUGNAMEASPRESCRIBED", "?PER:PERSONSNAME", "?CALENDAR", "?CALENDAR:3", "?BUTTON4:7",
                            "?PRINT"})
        EXPECT_FALSE(form.Enabled(off)) << off;
    EXPECT_TRUE(form.Enabled("?PRE:NUMBERREFILLS"));
    EXPECT_TRUE(form.Enabled("?PRE:ACTIVE"));
    form.Press("?OK");
    EXPECT_FALSE(form.Open());
    rt::WaitForTaskThreads();
    EXPECT_EQ(response.load(), globals::kCancelled);
    EXPECT_EQ(stored().at(0).version, before.at(0).version);
}

TEST(PrintKey, DrugDateFlagAndPersonClipped) {
    data::PrescriptsRecord p{};
    rt::clearRecord(data::PrescriptsTable(), &p);
    EXPECT_EQ(prescriptions::ComposePrintKey(p), std::string("0") + p.ACTIVE[0]) << "no date: 0";
    rt::assign(p.DRUGNAMEASPRESCRIBED, "Aspirin");
    rt::assign(p.PERSONSNAME, "Mother");
    rt::assign(p.ACTIVE, "Y");
    p.DATEFILLED.set(365);
    EXPECT_EQ(prescriptions::ComposePrintKey(p), "Aspirin365YMother");
    rt::assign(p.ACTIVE, "");
    EXPECT_EQ(prescriptions::ComposePrintKey(p), "Aspirin365 Mother") << "a blank flag stays a blank";
    rt::assign(p.DRUGNAMEASPRESCRIBED, std::string(60, 'D'));
    rt::assign(p.PERSONSNAME, std::string(40, 'P'));
    p.DATEFILLED.set(date(9999, 12, 31));
    EXPECT_EQ(prescriptions::ComposePrintKey(p).size(), 108u);
}

}  // namespace

// Escape presses the window's Cancel or Close: the calendar goes, then the form's Cancel asks about
// the changes as a click on it does, and a form kept stays.
TEST_F(PrescriptionForm, EscapePressesCancelAndAFormStillAsksAboutItsChanges) {
    auto form = OpenSavedForChange();
    form.Press("?CALENDAR");
    ASSERT_TRUE(user_.Has("Date Filled?"));
    user_.Find("Date Filled?").PressKey(wnd::kKeyEscape);
    EXPECT_FALSE(user_.Has("Date Filled?"));
    EXPECT_TRUE(form.Open());
    EXPECT_FALSE(form.Inert());

    form.Fill("?PRE:RXNUMBER", "999");
    messages_.answer(cls::kButtonNo);
    form.PressKey(wnd::kKeyEscape);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "Changes will be lost!");
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(form.Text("?PRE:RXNUMBER"), "999");
    messages_.answer(cls::kButtonYes);
    form.PressKey(wnd::kKeyEscape);
    EXPECT_FALSE(form.Open());
}
