#include "prescriptions/reference_lists.h"

#include <span>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/list_procedure.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"

namespace prescriptions {
namespace {

// What one list differs in; the rest (captions, headers, pictures, help topics) is its layout's.
struct ListMember {
    const char* procedure;
    const data::TableBinding& (*table)();
    cls::TableGroup* (*group)();
    const char* key;  // nullptr: the table's record order, with neither seeker nor thumb step
    std::span<const char* const> columns;
    const char* form;
    bool hasSelect;   // the later controls of a list without a Select button are numbered one lower
};

constexpr const char* kDrugColumns[] = {"DRU:DRUGNAMEASPRESCRIBED", "DRU:GENERICNAME", "DRU:PURPOSE"};
constexpr const char* kDoctorColumns[] = {"DOC:DOCTORSNAME", "DOC:PHONENUMBER"};
constexpr const char* kPharmacyColumns[] = {"PHA:PHARMACYNAME", "PHA:STREETADDRESS", "PHA:PHONENUMBER",
                                            "PHA:HOURS",        "PHA:PHARMACISTSNAME", "PHA:WEBADDRESS"};
constexpr const char* kFormColumns[] = {"FOR:DRUGFORM"};
constexpr const char* kPlanColumns[] = {"PLA:PLANNAME"};
constexpr const char* kManufacturerColumns[] = {"MAN:COMPANYNAME"};

const ListMember kMembers[] = {
    {"brwsdrugs", &data::DrugNamesBinding, []() -> cls::TableGroup* { return data::DrugNamesGroupRef; },
     "DRU:ByName", kDrugColumns, "UpdateDrugNames", true},
    {"BrowseDoctors", &data::DoctorsBinding, []() -> cls::TableGroup* { return data::DoctorsGroupRef; },
     "DOC:ByName", kDoctorColumns, "UpdateDoctors", true},
    // Record order although the table has a name key and the tab reads "By Name".
    {"BrowsePharmacy", &data::PharmacyBinding, []() -> cls::TableGroup* { return data::PharmacyGroupRef; },
     nullptr, kPharmacyColumns, "UpdatePharmacy", true},
    {"BrowseForms", &data::FormBinding, []() -> cls::TableGroup* { return data::FormGroupRef; },
     "FOR:ByType", kFormColumns, "UpdateForm", false},
    {"BrowsePlanName", &data::PlanNameBinding, []() -> cls::TableGroup* { return data::PlanNameGroupRef; },
     "PLA:ByName", kPlanColumns, "UpdatePlanName", false},
    {"BrowseMfg", &data::ManufacturerBinding, []() -> cls::TableGroup* { return data::ManufacturerGroupRef; },
     "MAN:ByName", kManufacturerColumns, "UpdateManufacturer", false},
};

cls::ListControls controlsOf(const ListMember& m) {
    if (m.hasSelect)
        return {.list = "?BROWSE:1", .select = "?SELECT:2", .insert = "?INSERT:4", .change = "?CHANGE:4",
                .remove = "?DELETE:4", .view = "?VIEW:3", .close = "?CLOSE", .help = "?HELP"};
    return {.list = "?BROWSE:1", .select = "", .insert = "?INSERT:3", .change = "?CHANGE:3",
            .remove = "?DELETE:3", .view = "?VIEW:2", .close = "?CLOSE", .help = "?HELP"};
}

class ReferenceListController final : public cls::ListProcedureController {
public:
    ReferenceListController(cls::ProcedureBody& body, const ListMember& m)
        : ListProcedureController(body, *m.group(), m.table().file(), controlsOf(m)), member_(m) {
        const rt::TableDesc& table = m.table().desc();
        if (m.key) {
            step_.Initialise(1, 3);
            AddOrder(table.keyIndex(m.key), &step_);
        } else {
            AddOrder(-1, nullptr);
        }
        for (const char* c : m.columns) AddColumn(*table.fieldByName(c));
        UseListFormats(&data::ListFormatsFile(), "PRESCRIP", 1, static_cast<int>(m.columns.size()), "Prescripts");
        SetHelpTopic(body.window().state().help);
    }

protected:
    // Every button calls the table's form, whatever the number.
    bool RunUpdater(int) override {
        shell::WindowProcedure form = shell::FindProcedure(member_.form);
        if (!form) return false;
        form();
        return true;
    }

private:
    const ListMember& member_;
    cls::TextThumbStep step_;
};

}  // namespace

void ReferenceList(std::string_view procedure) {
    for (const ListMember& m : kMembers)
        if (procedure == m.procedure) {
            cls::ProcedureBody body(shell::ServicesHere(), m.procedure, "P1$QUICKWINDOW");
            body.Run<ReferenceListController>(m);
            return;
        }
}

}  // namespace prescriptions
