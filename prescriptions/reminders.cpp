#include "prescriptions/reminders.h"

#include "data/records.h"
#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "platform/classes/list_procedure.h"
#include "shell/procedure_registry.h"
#include "shell/procedure_services.h"
#include "shell/table_report.h"

namespace prescriptions {
namespace {

const rt::FieldDesc& field(const char* name) { return *data::PrescriptsTable().fieldByName(name); }

class RemindersController final : public cls::ListProcedureController {
public:
    explicit RemindersController(cls::ProcedureBody& body)
        : ListProcedureController(body, *data::PrescriptsGroupRef, data::PrescriptsFile(),
                                  // The Close button closes by its standard action, answering nothing.
                                  {.list = "?BROWSE:1", .help = "?HELP", .print = "?PRINT"}) {
        byDate_.Initialise(1);
        AddOrder(data::PrescriptsTable().keyIndex("PRE:ByDate"), &byDate_);
        for (const char* f : {"PRE:DRUGNAMEASPRESCRIBED", "PRE:RXNUMBER", "PRE:PERSONSNAME", "PRE:REFILLREMINDERDATE"})
            AddColumn(field(f));
        UseListFormats(&data::ListFormatsFile(), "PRESCRIP", 1, 4, "Prescripts");
        SetHelpTopic("Reminders.htm");
    }

protected:
    int AfterTables() override {
        const int r = ListProcedureController::AfterTables();
        // The table's names are bound now that its group is open.
        reader().SetStandardFilter(kRemindersFilter);
        return r;
    }
    bool RunUpdater(int) override {
        shell::WindowProcedure report = shell::FindProcedure("RemindRpt");
        if (!report) return false;
        report();
        return true;
    }

private:
    cls::NumberThumbStep byDate_;
};

}  // namespace

void Reminders() {
    cls::ProcedureBody body(shell::ServicesHere(), "Reminders", "P1$QUICKWINDOW");
    body.Run<RemindersController>();
}

void RemindRpt() {
    shell::TableReport r;
    r.procedure = "RemindRpt";
    r.file = &data::PrescriptsFile();
    r.group = data::PrescriptsGroupRef;
    r.key = "PRE:ByDate";
    r.stepField = "PRE:REFILLREMINDERDATE";
    r.filter = kRemindRptFilter;  // every prescription due, whichever row is highlighted
    shell::RunTableReport(r);
}

}  // namespace prescriptions
