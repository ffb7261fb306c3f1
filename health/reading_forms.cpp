#include "health/reading_forms.h"

#include <array>
#include <span>
#include <utility>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/classes/form_controller.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/fixed_string.h"
#include "shell/procedure_services.h"

namespace health {
namespace {

// What one form differs in; captions, prompts, pictures and help topics are its layout's.
struct ReadingMember {
    const char* procedure;
    const data::TableBinding& (*table)();
    cls::TableGroup* (*group)();
    std::span<const std::pair<int, int>> recall;  // (entry control, the field it shows)
    void (*stamp)(const std::string& person, rt::StdDate today, rt::StdTime now);
};

constexpr std::pair<int, int> kBloodpreRecall[] = {{4, 1}, {6, 2}, {8, 3}, {10, 4}, {12, 5}, {14, 6}};
// The comment's entry (9) stands before its prompt; the reading is field 4, the comment field 3.
constexpr std::pair<int, int> kGlucoseRecall[] = {{4, 1}, {6, 2}, {8, 4}, {9, 3}};

const ReadingMember kMembers[] = {
    {"UpdateBloodpre", &data::BloodpreBinding, []() -> cls::TableGroup* { return data::BloodpreGroupRef; },
     kBloodpreRecall,
     [](const std::string& person, rt::StdDate today, rt::StdTime now) {
         rt::assign(data::BLO.PERSONNAME, person);  // cut to the reading's 35 characters
         data::BLO.DATE.set(today);
         data::BLO.TIME.set(now);
     }},
    {"UpdateGlucose", &data::GlucoseBinding, []() -> cls::TableGroup* { return data::GlucoseGroupRef; },
     kGlucoseRecall,
     [](const std::string& person, rt::StdDate today, rt::StdTime now) {
         rt::assign(data::GLU.PERSONNAME, person);
         data::GLU.DATE.set(today);
         data::GLU.TIME.set(now);
     }},
};

// Each form's values for Ctrl+H, per thread: blank until the form's first OK on the thread.
thread_local std::array<cls::RecordHistory, std::size(kMembers)> histories;

class ReadingFormController final : public cls::FormController {
public:
    ReadingFormController(cls::ProcedureBody& body, const ReadingMember& m, cls::RecordHistory& history)
        : FormController(body, *m.group()), member_(m) {
        UseTable(m.group());
        SetHistoryRecord(history);
        for (const auto& [control, field] : m.recall) AddRecallField(control, field);
        SetHelpTopic(body.window().state().help);
    }

    // A new reading belongs to the person whose readings are shown, as of now. The caller has
    // cleared the record already; a changed or viewed reading keeps its stamp.
    int PrimeNewRecord() override {
        member_.stamp(globals::personname().get(), rt::today(), rt::clockNow());
        return FormController::PrimeNewRecord();
    }

protected:
    void AfterOpenScreen() override {
        FormController::AfterOpenScreen();
        // The form's own handling brings the record up to date before the help page opens.
        if (const int help = window().Find("?HELP")) window().SetStd(help, wnd::StdAction::None);
    }

private:
    const ReadingMember& member_;
};

}  // namespace

void ReadingForm(std::string_view procedure) {
    for (std::size_t i = 0; i < std::size(kMembers); ++i) {
        const ReadingMember& m = kMembers[i];
        if (procedure != m.procedure) continue;
        cls::ProcedureBody body(shell::ServicesHere(), m.procedure, "P1$QUICKWINDOW");
        body.window().BindRecord(m.table().desc(), m.table().buffer());
        body.Run<ReadingFormController>(m, histories[i]);
        return;
    }
}

}  // namespace health
