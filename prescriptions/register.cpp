#include <mutex>
#include <string>

#include "prescriptions/register.h"
#include "prescriptions/browse_prescripts.h"
#include "prescriptions/medication_list.h"
#include "prescriptions/person_chooser.h"
#include "prescriptions/prescription_reports.h"
#include "prescriptions/reminders.h"
#include "prescriptions/reference_forms.h"
#include "prescriptions/reference_lists.h"
#include "prescriptions/update_prescripts.h"
#include "shell/procedure_registry.h"

bool RegisterPrescriptionLayoutResources(std::string* error);

namespace prescriptions {

bool RegisterPrescriptionProcedures(std::string* error) {
    static std::once_flag once;
    static bool ok = false;
    static std::string why;
    std::call_once(once, [] { ok = RegisterPrescriptionLayoutResources(&why); });
    if (!ok) {
        if (error) *error = why;
        return false;
    }
    shell::RegisterProcedure("BrowsePrescripts", &BrowsePrescripts);
    shell::RegisterProcedure("UpdatePrescripts", &UpdatePrescripts);
    shell::RegisterProcedure("ReportPrescripts", &ReportPrescripts);
    shell::RegisterProcedure(kPrescriptionReport, &printprescrpt);
    shell::RegisterProcedure("Reminders", &Reminders);
    shell::RegisterProcedure("RemindRpt", &RemindRpt);
    for (const char* name : kReferenceLists) shell::RegisterProcedure(name, [name] { ReferenceList(name); });
    for (const char* name : kReferenceForms) shell::RegisterProcedure(name, [name] { ReferenceForm(name); });
    shell::RegisterProcedure("prequick", &prequick);
    shell::RegisterProcedure("quicklist", &quicklist);
    return true;
}

}  // namespace prescriptions
