#include "health/profile_report.h"
#include "health/reading_forms.h"
#include "health/reading_reports.h"
#include "health/register.h"
#include "shell/procedure_registry.h"

namespace health {

void RegisterReadingProcedures() {
    for (const char* name : kReadingForms) shell::RegisterProcedure(name, [name] { ReadingForm(name); });
    shell::RegisterProcedure("bpaverages", &bpaverages);
    shell::RegisterProcedure("glucreport", &glucreport);
    shell::RegisterProcedure("profile", &profile);
}

}  // namespace health
