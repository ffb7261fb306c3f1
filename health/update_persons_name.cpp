#include "health/update_persons_name.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "data/persons_record.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "health/profile_rules.h"
#include "health/profile_snapshot.h"
#include "health/reading_lists.h"
#include "platform/classes/form_controller.h"
#include "platform/classes/lookup_list.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/codepage.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "shell/open_with_shell.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace health {
namespace {

constexpr std::size_t kStartedStack = 25000;
constexpr int kVisits = 10;
constexpr std::size_t kWhatIsBpWidth = 700;

// From the last control of each tab page to the first of the next; the last to the button below.
constexpr std::pair<const char*, const char*> kEnterPairs[] = {
    {"?PER:MARITALSTATUS:RADIO5", "?PER:PRIMARYCONTACTNAME"}, {"?PER:GROUPPLANNUMBER", "?PER:ALZHEIMERSDISEASE"},
    {"?PER:SEIZUREDISORDER:2", "?PER:DEFIBRILLATOR"},         {"?PER:OTHER", "?PER:FOODALLERGY1"},
    {"?PER:DRUGALLERGY5", "?PER:OTHERCONDITIONS"},            {"?PER:OTHERALLERGY5", "?PER:IMM1"},
    {"?PER:IMMDATE10", "?PER:DRVISITNAME1"},                  {"?BUTTON5", "?LIST"},
    {"?BUTTON12", "?LIST:2"},                                 {"?BUTTON16", "?PRINT"},
};

// Buttons that start a procedure on a thread of their own.
constexpr std::pair<const char*, const char*> kStartButtons[] = {
    {"?BUTTON7", kPlanList}, {"?BUTTON8", kDoctorsList}, {"?BUTTON12", "bpaverages"}, {"?BUTTON16", "glucreport"}};

// Disabled when the form only shows the person.
constexpr const char* kViewDisabled[] = {"?PLA:PLANNAME", "?BUTTON7", "?BUTTON6",  "?BUTTON8", "?BUTTON5",
                                         "?INSERT",       "?CHANGE",  "?DELETE",   "?INSERT:2", "?CHANGE:2",
                                         "?DELETE:2",     "?BUTTON12", "?BUTTON16", "?PRINT"};

const rt::FieldDesc& per(std::string_view name) { return *data::PersonsNameTable().fieldByName(name); }

std::string numbered(const char* name, int n) { return name + std::to_string(n); }

// The values the user gave the form at its last OK on this thread, for Ctrl+H.
thread_local cls::RecordHistory history;

// The field of the person's record a control edits: its use name, or the part before a last
// ":2" or ":RADIOn". 0 for none; one past the last field for the other conditions.
int recallFieldOf(const wnd::ControlState& c) {
    using K = wnd::ControlKind;
    if (c.kind != K::Entry && c.kind != K::Check && c.kind != K::Radio && c.kind != K::Option &&
        c.kind != K::DropCombo && c.kind != K::Text)
        return 0;
    const rt::TableDesc& table = data::PersonsNameTable();
    std::string name = c.use.substr(c.use.starts_with('?') ? 1 : 0);
    if (rt::compareNoCase(name, "PER:OTHERCONDITIONS") == 0) return static_cast<int>(table.fields.size()) + 1;
    const rt::FieldDesc* f = table.fieldByName(name);
    const std::size_t colon = name.rfind(':');
    if (!f && colon != std::string::npos && name.find(':') < colon) f = table.fieldByName(name.substr(0, colon));
    return f ? f->number : 0;
}

class UpdatePersonsNameController final : public cls::FormController {
public:
    UpdatePersonsNameController(cls::ProcedureBody& body, ReadingList& bloodPressure, ReadingList& glucose,
                                std::string& whatIsBp)
        : FormController(body, *data::PersonsNameGroupRef), bp_(bloodPressure), glu_(glucose), whatIsBp_(whatIsBp) {
        for (cls::TableGroup* g : std::initializer_list<cls::TableGroup*>{data::BloodpreGroupRef, data::DoctorsGroupRef,
                                                                          data::GlucoseGroupRef, data::PersonsNameGroupRef,
                                                                          data::PlanNameGroupRef})
            UseTable(g);
        SetHistoryRecord(history);
        for (const wnd::ControlState& c : window().state().controls)
            if (const int field = recallFieldOf(c)) AddRecallField(c.number, field);
        SetHelpTopic("update profile.htm");
        SetFirstControl(window().Find("?STRING13"));
        firstName_ = window().Find("?PER:FIRSTNAME");
        displayName_ = window().Find("?PER:PERSONSNAME");
        birthDate_ = window().Find("?PER:BIRTHDATE");
        print_ = window().Find("?PRINT");
        okButton_ = window().Find("?OK");
        cancelButton_ = window().Find("?CANCEL");
        schedule_ = window().Find("?BUTTON6");
        pushDown_ = window().Find("?BUTTON5");
    }

protected:
    int BeforeTables() override {
        const int r = FormController::BeforeTables();
        // The name the reading lists' person filter and the reports' filters use.
        rt::BindText("personname", [] { return globals::personname().get(); });
        return r;
    }

    int AfterTables() override {
        if (const int r = FormController::AfterTables()) return r;
        // The lookups read their tables from the start.
        for (cls::TableGroup* g : std::initializer_list<cls::TableGroup*>{data::DoctorsGroupRef, data::PlanNameGroupRef})
            if (g && g->ME) g->ME->UseTable(cls::kUseAccess);
        bp_.Attach(*this, viewing());
        glu_.Attach(*this, viewing());
        return cls::kLevelGoOn;
    }

    void AfterOpenScreen() override {
        FormController::AfterOpenScreen();
        wnd::Window& w = window();
        if (viewing()) {
            for (const char* use : kViewDisabled)
                if (const int c = w.Find(use)) w.SetDisabled(c, true);
            for (int n = 1; n <= kVisits; ++n) w.SetDisabled(w.Find("?" + numbered("PER:DRVISITNAME", n)), true);
        }
        // What is not there yet cannot be started.
        for (const auto& [use, procedure] : kStartButtons)
            if (const int c = w.Find(use); c && !shell::FindProcedure(procedure)) w.SetDisabled(c, true);
        if (!shell::FindProcedure(kProfileReport)) w.SetDisabled(print_, true);
        for (const ReadingList* list : {&bp_, &glu_})
            if (!ReadingList::FormRegistered(list->kind()))
                for (const char* use : {list->kind().insert, list->kind().change, list->kind().remove})
                    w.SetDisabled(w.Find(use), true);
        // Without a help agent the Help button still brings the parts up to date, and no more.
        if (const int help = w.Find("?HELP")) w.SetStd(help, wnd::StdAction::None);

        bp_.SetUpOrders(body().toolbar());
        glu_.SetUpOrders(body().toolbar());
        for (int n = 1; n <= kVisits; ++n) doctorLookup(n);
        planLookup();
        bp_.SetUpFormats(ERRORS);
        glu_.SetUpFormats(ERRORS);
        if (cls::KeyNavigator* navigator = body().navigator())
            for (const auto& [from, to] : kEnterPairs) navigator->AddNextTabStop(w.Find(from), w.Find(to));
    }

    void ArmKeys() override {
        FormController::ArmKeys();
        if (!partsArmed_) {
            partsArmed_ = true;
            bp_.SetUpSizerAndSorter(window());
            glu_.SetUpSizerAndSorter(window());
        }
        bp_.sorter().RedrawHeader();
        glu_.sorter().RedrawHeader();
    }

    // The header sorters see every event first, before the Enter-key navigator.
    int OnEvent() override {
        const bool opening = window().event() == wnd::Event::OpenWindow && window().control() == 0 && !opened_;
        if (opening) {
            // Before the reading lists first read: they list this person's readings.
            nameThePerson();
            whatIsBp_ = std::string(kWhatIsBloodPressure.substr(0, kWhatIsBpWidth - 1));
        }
        if (bp_.OfferToSorter() || glu_.OfferToSorter()) return cls::kLevelHandled;
        const int r = FormController::OnEvent();
        if (opening) {
            // The profile as shown, once the lookups have given the form their values.
            opened_ = true;
            snapshot_.Take(data::PER, data::PER_OtherConditions);
        }
        return r;
    }

    int EarlyOffer() override {
        return bp_.OfferToSizer(window()) || glu_.OfferToSizer(window()) ? cls::kLevelHandled : cls::kLevelGoOn;
    }

    int OnAccepted() override {
        const int control = window().control();
        if (control == print_) printProfile();
        const int r = FormController::OnAccepted();
        if (control == firstName_) {
            // Without a first or a last name the display name stays as given (a person added by
            // name from the prescription form keeps it) rather than becoming blank.
            const std::string_view first = rt::view(data::PER.FIRSTNAME), last = rt::view(data::PER.LASTNAME);
            if (!rt::rtrim(first).empty() || !rt::rtrim(last).empty()) {
                rt::assign(data::PER.PERSONSNAME, ComposeDisplayName(first, last));
                window().Display();
            }
        } else if (control == displayName_) {
            if (!rt::rtrim(rt::view(data::PER.PERSONSNAME)).empty()) {
                nameThePerson();
                // The reading lists follow the name at once, not at their next re-read.
                if (!window().inAcceptAll()) {
                    bp_.browser().Reset(true);
                    glu_.browser().Reset(true);
                }
            }
        } else if (control == birthDate_) {
            data::PER.AGE = AgeOn(data::PER.BIRTHDATE.get(), rt::today()).number;
            window().Display();
        } else if (control == schedule_) {
            SyncComponents();
            openSchedule();
            Refresh(true);
        } else if (control == pushDown_) {
            SyncComponents();
            if (!pushDown()) return cls::kLevelHandled;
        } else if (control == okButton_ && okButton_) {
            accepted();
        } else if (control == cancelButton_ && cancelButton_) {
            SyncComponents();
            cancelling_ = true;
        } else {
            for (const auto& [use, procedure] : kStartButtons)
                if (control == window().Find(use)) start(procedure);
        }
        return r;
    }

    // Cancel forgets the person only once the window really closes: answering the question about
    // losing changes so that the form stays open keeps the person for its reading lists.
    int OnCloseRequest() override {
        const int r = FormController::OnCloseRequest();
        if (r == cls::kLevelGoOn && cancelling_) globals::personname().set("");
        cancelling_ = false;
        return r;
    }

    bool RunUpdater(int number) override {
        const char* form = nullptr;
        if (number >= 1 && number <= kVisits) form = kDoctorsForm;
        else if (number == 11) form = kPlanForm;
        else if (number == bp_.kind().updateNumber) form = bp_.kind().form;
        else if (number == glu_.kind().updateNumber) form = glu_.kind().form;
        shell::WindowProcedure p = form ? shell::FindProcedure(form) : shell::WindowProcedure{};
        if (!p) return false;
        p();
        return true;
    }

    void TearDownKind() override {
        FormController::TearDownKind();
        bp_.TearDownSorter();
        glu_.TearDownSorter();
        bp_.TearDownFormats();
        glu_.TearDownFormats();
        bp_.TearDownSizer();
        glu_.TearDownSizer();
    }

private:
    bool viewing() const { return REQUEST == cls::kRequestView; }

    static void nameThePerson() { globals::personname().set(rt::view(data::PER.PERSONSNAME)); }

    static void stamp() {
        data::PER.DATEUPDATED.set(rt::today());
        data::PER.TIMEUPDATED.set(rt::clockNow());
    }

    // OK: the date and time of the last change only when the profile differs from what the
    // window showed. The completion that OK started then accepts every control again (naming the
    // person once more) and writes the record.
    void accepted() {
        if (viewing()) {
            globals::personname().set("");
            return;
        }
        SyncComponents();
        if (snapshot_.Differs(data::PER, data::PER_OtherConditions)) {
            stamp();
            window().Display();
        }
        globals::personname().set("");
    }

    // The profile report reads the stored record through this thread's buffer: the form keeps its
    // own record, unsaved entries included, around it.
    void printProfile() {
        SyncComponents();
        if (shell::WindowProcedure report = shell::FindProcedure(kProfileReport)) KeepRecordAround([&] { report(); });
    }

    void start(const char* procedure) {
        SyncComponents();
        if (shell::WindowProcedure p = shell::FindProcedure(procedure)) wnd::StartTask(std::move(p), kStartedStack);
        Refresh(false);
    }

    void openSchedule() {
        std::error_code ec;
        const std::filesystem::path document = std::filesystem::absolute(kScheduleDocument, ec);
        if (!ec && std::filesystem::is_regular_file(document, ec)) {
            shell::OpenWithShell(document.string());
            return;
        }
        if (!ERRORS) return;
        cls::MessageBoxRequest m;
        m.caption = "Immunization Schedule";
        m.text = "The immunization schedule " + std::string(kScheduleDocument) + " is not in the folder " +
                 std::filesystem::current_path(ec).string() + ".|Place the document there to view it from this page.";
        m.icon = cls::MessageIcon::Information;
        ERRORS->Ask(m);
    }

    // Every visit one line down, line 10 dropped, line 1 freed; false when the user said No.
    bool pushDown() {
        cls::MessageBoxRequest q;
        q.caption = "Push Down?";
        q.text = "This will push down all visits by one line, and DELETE the last line.|Do you wish to proceed?";
        q.icon = cls::MessageIcon::Exclamation;
        q.buttons = cls::kButtonYes | cls::kButtonNo;
        q.defaultButton = cls::kButtonNo;
        if (!ERRORS || ERRORS->Ask(q) != cls::kButtonYes) return false;
        auto* record = reinterpret_cast<char*>(&data::PER);
        for (const char* group : {"PER:DRVISITNAME", "PER:DRVISITDATE", "PER:DRVISITPURPOSE"}) {
            for (int n = kVisits; n >= 2; --n) {
                const rt::FieldDesc& to = per(numbered(group, n));
                const rt::FieldDesc& from = per(numbered(group, n - 1));
                std::memmove(record + to.offset, record + from.offset, to.size);
            }
            rt::clearField(per(numbered(group, 1)), record);
        }
        stamp();
        window().Display();
        return true;
    }

    void doctorLookup(int n) {
        cls::LookupCombo& l = doctors_[static_cast<std::size_t>(n - 1)];
        const rt::FieldDesc& target = per(numbered("PER:DRVISITNAME", n));
        const rt::FieldDesc& name = *data::DoctorsTable().fieldByName("DOC:DOCTORSNAME");
        l.Initialise({&target, &data::PER}, window().Find("?" + numbered("PER:DRVISITNAME", n)), data::DoctorsFile(),
                     *this, true, true, false);
        l.ASKPROCEDURE = shell::FindProcedure(kDoctorsForm) ? n : 0;
        l.AddOrder();
        l.AddColumn(name);
        l.AddCopyField(name, target, &data::PER);
        l.DEFAULTFILL = false;
        AddComponent(&l);
    }

    // The drop-down shows the plan buffer's name; its first copy pair finds the person's own plan
    // among the rows when the form opens, so the stored plan is what it shows.
    void planLookup() {
        const rt::TableDesc& plans = data::PlanNameTable();
        const rt::FieldDesc& name = *plans.fieldByName("PLA:PLANNAME");
        plan_.Initialise({&name, &data::PLA}, window().Find("?PLA:PLANNAME"), data::PlanNameFile(), *this, true, true,
                         false);
        plan_.ASKPROCEDURE = shell::FindProcedure(kPlanForm) ? 11 : 0;
        plan_.AddOrder();
        plan_.AddColumn(name);
        plan_.AddCopyField(name, per("PER:HEALTHINSURER"), &data::PER);
        plan_.AddCopyField(*plans.fieldByName("PLA:GROUP_ORPOLICYNUMBER"), per("PER:GROUPPLANNUMBER"), &data::PER);
        plan_.DEFAULTFILL = false;
        AddComponent(&plan_);
    }

    ReadingList& bp_;
    ReadingList& glu_;
    std::string& whatIsBp_;
    ProfileSnapshot snapshot_;
    std::array<cls::LookupCombo, kVisits> doctors_;
    cls::LookupCombo plan_;
    int firstName_ = 0, displayName_ = 0, birthDate_ = 0, print_ = 0, okButton_ = 0, cancelButton_ = 0, schedule_ = 0, pushDown_ = 0;
    bool opened_ = false;
    bool partsArmed_ = false;
    bool cancelling_ = false;
};

}  // namespace

void UpdatePersonsName() {
    std::string whatIsBp;
    ReadingList bloodPressure(BloodPressureList());
    ReadingList glucose(GlucoseList());
    cls::ProcedureBody body(shell::ServicesHere(), "UpdatePersonsName", "P1$QUICKWINDOW");
    wnd::Window& w = body.window();
    w.BindRecord(data::PersonsNameTable(), &data::PER);
    w.BindRecord(data::PlanNameTable(), &data::PLA);
    w.Bind("PER:OTHERCONDITIONS", wnd::UseVariable::Text(data::PER_OtherConditions, 1000));
    w.Bind("WHATISBP", wnd::UseVariable::Text(whatIsBp, kWhatIsBpWidth - 1));
    body.Run<UpdatePersonsNameController>(bloodPressure, glucose, whatIsBp);
}

}  // namespace health
