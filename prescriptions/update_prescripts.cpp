#include "prescriptions/update_prescripts.h"

#include <array>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "data/persons_record.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/calendar_picker.h"
#include "platform/classes/form_controller.h"
#include "platform/classes/lookup_list.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace prescriptions {
namespace {

constexpr std::size_t kListStack = 25000;

// Controls by number, as the form's layout numbers them.
enum : int {
    kDrug = 4, kDrugButton = 5, kDoctorButton = 6, kPersonButton = 7, kFormButton = 8,
    kPerson = 18, kDoctor = 20, kDateFilled = 22, kCalendarFilled = 23, kDrugForm = 27,
    kPlan = 33, kManufacturer = 35, kPharmacy = 37, kExpiration = 43, kCalendarExpiration = 44,
    kReminder = 46, kCalendarReminder = 47, kActive = 48,
    kPharmacyButton = 51, kPlanButton = 52, kManufacturerButton = 53, kPrint = 58,
};

// The small buttons beside the lookups and the reference lists they start.
constexpr std::pair<int, const char*> kListButtons[] = {
    {kDrugButton, "brwsdrugs"},        {kDoctorButton, "BrowseDoctors"},  {kPersonButton, "BrowsePerson"},
    {kFormButton, "BrowseForms"},      {kPharmacyButton, "BrowsePharmacy"}, {kPlanButton, "BrowsePlanName"},
    {kManufacturerButton, "BrowseMfg"},
};

// Disabled in view mode; the entries become read-only there by the form pattern.
constexpr int kViewDisabled[] = {4, 5, 6, 7, 8, 18, 20, 23, 27, 33, 35, 37, 44, 47, 51, 52, 53, 58};

// (control, field number); 23 is the memo.
constexpr std::pair<int, int> kRecall[] = {{10, 2},  {12, 3},  {14, 4},  {16, 16}, {22, 7},
                                           {25, 8},  {29, 10}, {31, 11}, {39, 15}, {41, 18},
                                           {43, 17}, {46, 19}, {48, 20}, {50, 21}, {56, 23}};

const rt::FieldDesc& pre(const char* name) { return *data::PrescriptsTable().fieldByName(name); }

thread_local cls::RecordHistory history;

class UpdatePrescriptsController final : public cls::FormController {
public:
    explicit UpdatePrescriptsController(cls::ProcedureBody& body)
        : FormController(body, *data::PrescriptsGroupRef) {
        for (cls::TableGroup* g : referenceGroups()) UseTable(g);
        UseTable(data::PrescriptsGroupRef);
        SetHistoryRecord(history);
        for (const auto& [control, field] : kRecall) AddRecallField(control, field);
        SetHelpTopic("UpdatePrescripts.htm");
        for (cls::CalendarPicker* c : {&filled_, &expiration_, &reminder_}) {
            c->FIRSTWEEKDAY = 7;
            c->SetColours(0xFF0000, 0xFF0000, 0x000000, 0x008000);
            c->RIGHTALIGN = false;
        }
    }

protected:
    int AfterTables() override {
        if (const int r = FormController::AfterTables()) return r;
        // The lookups read their tables from the start: open them now rather than on first use.
        for (cls::TableGroup* g : referenceGroups())
            if (g->ME) g->ME->UseTable(cls::kUseAccess);
        // In the order they take their events: person first, drug last.
        lookup(person_, kPerson, data::PersonsNameTable(), &data::PER, data::PersonsNameFile(), 1, true,
               {"PER:PERSONSNAME"}, {{"PER:PERSONSNAME", "PRE:PERSONSNAME"}});
        lookup(doctor_, kDoctor, data::DoctorsTable(), &data::DOC, data::DoctorsFile(), 2, false,
               {"DOC:DOCTORSNAME"}, {{"DOC:DOCTORSNAME", "PRE:DRNAME"}});
        lookup(drugForm_, kDrugForm, data::FormTable(), &data::FOR, data::FormFile(), 3, false, {"FOR:DRUGFORM"},
               {{"FOR:DRUGFORM", "PRE:FORM"}});
        lookup(plan_, kPlan, data::PlanNameTable(), &data::PLA, data::PlanNameFile(), 4, false, {"PLA:PLANNAME"},
               {{"PLA:PLANNAME", "PRE:PLANNAME"}});
        lookup(manufacturer_, kManufacturer, data::ManufacturerTable(), &data::MAN, data::ManufacturerFile(), 5,
               false, {"MAN:COMPANYNAME"}, {{"MAN:COMPANYNAME", "PRE:MANUFACTURERNAME"}});
        lookup(pharmacy_, kPharmacy, data::PharmacyTable(), &data::PHA, data::PharmacyFile(), 6, false,
               {"PHA:PHARMACYNAME"}, {{"PHA:PHARMACYNAME", "PRE:PHARMACYNAME"}});
        lookup(drug_, kDrug, data::DrugNamesTable(), &data::DRU, data::DrugNamesFile(), 7, false,
               {"DRU:DRUGNAMEASPRESCRIBED", "DRU:GENERICNAME"},
               {{"DRU:DRUGNAMEASPRESCRIBED", "PRE:DRUGNAMEASPRESCRIBED"},
                {"DRU:GENERICNAME", "PRE:GENERICNAME"},
                {"DRU:PURPOSE", "PRE:PURPOSE"}});
        return cls::kLevelGoOn;
    }

    void AfterOpenScreen() override {
        FormController::AfterOpenScreen();
        // Without a help agent the Help button still only brings the parts up to date.
        if (window().Has(61)) window().SetStd(61, wnd::StdAction::None);
        for (const auto& [control, procedure] : kListButtons)
            window().SetDisabled(control, !shell::FindProcedure(procedure));
        window().SetDisabled(kPrint, !shell::FindProcedure(kPrescriptionReport));
        if (REQUEST == cls::kRequestView)
            for (int c : kViewDisabled) window().SetDisabled(c, true);
        applyActiveRule();
    }

    int OnAccepted() override {
        const int control = window().control();
        if (control == kPrint) {
            SyncComponents();
            // The report reads the stored prescriptions through this thread's buffer: the form
            // keeps its own record around it, and writes only by its position.
            if (shell::WindowProcedure report = shell::FindProcedure(kPrescriptionReport))
                KeepRecordAround([&] { report(); });
            return cls::kLevelHandled;
        }
        const int r = FormController::OnAccepted();
        switch (control) {
            case kDateFilled:
                if (proposeExpiration()) window().Display(kExpiration);
                break;
            case kActive:
                applyActiveRule();
                Refresh(false);
                break;
            case kCalendarFilled: pick(filled_, "Date Filled?", data::PRE.DATEFILLED, kDateFilled); break;
            case kCalendarExpiration:
                pick(expiration_, "Expiration Date", data::PRE.EXPIRATIONDISCARDDATE, kExpiration);
                break;
            case kCalendarReminder:
                pick(reminder_, "Select Reminder Date", data::PRE.REFILLREMINDERDATE, kReminder);
                break;
            default:
                if (control == window().Find("?OK")) {
                    // Before the accept-all pass that this OK started reaches the entries.
                    SyncComponents();
                    rt::assignC(data::PRE.PRINTKEY, ComposePrintKey(data::PRE));
                    break;
                }
                for (const auto& [button, procedure] : kListButtons)
                    if (control == button) {
                        SyncComponents();
                        if (shell::WindowProcedure p = shell::FindProcedure(procedure))
                            wnd::StartTask(std::move(p), kListStack);
                        Refresh(false);
                    }
        }
        return r;
    }

    int OnSelected() override {
        const int r = FormController::OnSelected();
        if (window().control() == kExpiration && proposeExpiration()) window().Display();
        return r;
    }

    bool RunUpdater(int number) override {
        if (number < 1 || number > static_cast<int>(std::size(kInsertForms))) return false;
        shell::WindowProcedure form = shell::FindProcedure(kInsertForms[number - 1]);
        if (!form) return false;
        form();
        return true;
    }

private:
    static std::array<cls::TableGroup*, 7> referenceGroups() {
        return {data::DoctorsGroupRef,      data::DrugNamesGroupRef, data::FormGroupRef,    data::ManufacturerGroupRef,
                data::PersonsNameGroupRef, data::PharmacyGroupRef,  data::PlanNameGroupRef};
    }

    void lookup(cls::LookupCombo& list, int control, const rt::TableDesc& table, void* record,
                files::TableFile& file, int number, bool defaultFill, std::initializer_list<const char*> columns,
                std::initializer_list<std::pair<const char*, const char*>> copies) {
        const rt::FieldDesc& first = *table.fieldByName(*columns.begin());
        list.Initialise({&first, record}, control, file, *this, true, true, false);
        // No insert form registered yet: a typed name that the table lacks is kept as typed.
        list.ASKPROCEDURE = shell::FindProcedure(kInsertForms[number - 1]) ? number : 0;
        list.AddOrder();
        for (const char* c : columns) list.AddColumn(*table.fieldByName(c));
        for (const auto& [from, to] : copies) list.AddCopyField(*table.fieldByName(from), pre(to), &data::PRE);
        list.DEFAULTFILL = defaultFill;
        AddComponent(&list);
    }

    // Checked: no inactive date. Unchecked: inactive from today, and no reminder.
    static void applyActiveRule() {
        if (data::PRE.ACTIVE[0] == 'Y' || data::PRE.ACTIVE[0] == 'y') {
            data::PRE.DATEINACTIVE.set(0);
        } else {
            data::PRE.DATEINACTIVE.set(rt::today());
            data::PRE.REFILLREMINDERDATE.set(0);
        }
    }

    // A fill date and no expiration date: the expiration date proposed. True when it was.
    static bool proposeExpiration() {
        const rt::StdDate filled = data::PRE.DATEFILLED.get();
        if (filled <= 0 || !data::PRE.EXPIRATIONDISCARDDATE.empty()) return false;
        data::PRE.EXPIRATIONDISCARDDATE.set(filled + kExpirationDays);
        return true;
    }

    void pick(cls::CalendarPicker& calendar, std::string_view caption, rt::DateField& field, int entry) {
        SyncComponents();
        calendar.SELECTONCLOSE = true;
        if (calendar.Pick(caption, field.get()) == cls::kResponseCompleted) {
            field.set(calendar.SELECTEDDATE);
            window().Display(entry);
        }
        Refresh(true);
    }

    cls::LookupCombo person_, doctor_, drugForm_, plan_, manufacturer_, pharmacy_, drug_;
    cls::CalendarPicker filled_, expiration_, reminder_;
};

}  // namespace

std::string ComposePrintKey(const data::PrescriptsRecord& p) {
    std::string key = rt::clip(p.DRUGNAMEASPRESCRIBED);
    key += std::to_string(p.DATEFILLED.get());
    key += p.ACTIVE[0];
    key += rt::clip(p.PERSONSNAME);
    return key;
}

void UpdatePrescripts() {
    cls::ProcedureBody body(shell::ServicesHere(), "UpdatePrescripts", "P1$QUICKWINDOW");
    wnd::Window& w = body.window();
    w.BindRecord(data::PrescriptsTable(), &data::PRE);
    // The lookups' entries show the reference records' own fields.
    w.BindRecord(data::PersonsNameTable(), &data::PER);
    w.BindRecord(data::DoctorsTable(), &data::DOC);
    w.BindRecord(data::FormTable(), &data::FOR);
    w.BindRecord(data::PlanNameTable(), &data::PLA);
    w.BindRecord(data::ManufacturerTable(), &data::MAN);
    w.BindRecord(data::PharmacyTable(), &data::PHA);
    w.BindRecord(data::DrugNamesTable(), &data::DRU);
    // The notes hold as much as the memo: without its size the text box's picture would stop at 255.
    w.Bind("PRE:SPECIALINSTRUCTIONSNOTES",
           wnd::UseVariable::Text(data::PRE_SpecialInstructionsNotes, data::PrescriptsTable().memo->maxLength));
    body.Run<UpdatePrescriptsController>();
}

}  // namespace prescriptions
