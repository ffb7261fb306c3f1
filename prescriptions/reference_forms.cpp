#include "prescriptions/reference_forms.h"

#include <array>
#include <span>
#include <utility>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/form_controller.h"
#include "shell/procedure_services.h"

namespace prescriptions {
namespace {

// What one form differs in; the rest (captions, prompts, pictures, help topics) is its layout's.
struct FormMember {
    const char* procedure;
    const data::TableBinding& (*table)();
    cls::TableGroup* (*group)();
    std::span<const std::pair<int, int>> recall;  // (entry control, the field it shows)
};

constexpr std::pair<int, int> kThreeFields[] = {{4, 1}, {6, 2}, {8, 3}};
constexpr std::pair<int, int> kTwoFields[] = {{4, 1}, {6, 2}};
constexpr std::pair<int, int> kOneField[] = {{4, 1}};
// The zip code's entry follows the state's; its prompt comes later, after the phone number.
constexpr std::pair<int, int> kPharmacyFields[] = {{4, 1},  {6, 2},  {8, 3},  {10, 4}, {11, 5},
                                                   {13, 6}, {16, 7}, {18, 8}, {20, 9}};

const FormMember kMembers[] = {
    {"UpdateDrugNames", &data::DrugNamesBinding, []() -> cls::TableGroup* { return data::DrugNamesGroupRef; },
     kThreeFields},
    {"UpdateDoctors", &data::DoctorsBinding, []() -> cls::TableGroup* { return data::DoctorsGroupRef; },
     kThreeFields},
    {"UpdatePharmacy", &data::PharmacyBinding, []() -> cls::TableGroup* { return data::PharmacyGroupRef; },
     kPharmacyFields},
    {"UpdateForm", &data::FormBinding, []() -> cls::TableGroup* { return data::FormGroupRef; }, kOneField},
    {"UpdatePlanName", &data::PlanNameBinding, []() -> cls::TableGroup* { return data::PlanNameGroupRef; },
     kTwoFields},
    {"UpdateManufacturer", &data::ManufacturerBinding,
     []() -> cls::TableGroup* { return data::ManufacturerGroupRef; }, kOneField},
};

// Each form's values for Ctrl+H, per thread: blank until the form's first OK on the thread.
thread_local std::array<cls::RecordHistory, std::size(kMembers)> histories;

class ReferenceFormController final : public cls::FormController {
public:
    ReferenceFormController(cls::ProcedureBody& body, const FormMember& m, cls::RecordHistory& history)
        : FormController(body, *m.group()) {
        UseTable(m.group());
        SetHistoryRecord(history);
        for (const auto& [control, field] : m.recall) AddRecallField(control, field);
        SetHelpTopic(body.window().state().help);
    }

protected:
    void AfterOpenScreen() override {
        FormController::AfterOpenScreen();
        // Without a help agent the Help button still brings the record up to date.
        if (const int help = window().Find("?HELP")) window().SetStd(help, wnd::StdAction::None);
    }
};

}  // namespace

void ReferenceForm(std::string_view procedure) {
    for (std::size_t i = 0; i < std::size(kMembers); ++i) {
        const FormMember& m = kMembers[i];
        if (procedure != m.procedure) continue;
        cls::ProcedureBody body(shell::ServicesHere(), m.procedure, "P1$QUICKWINDOW");
        body.window().BindRecord(m.table().desc(), m.table().buffer());
        body.Run<ReferenceFormController>(m, histories[i]);
        return;
    }
}

}  // namespace prescriptions
