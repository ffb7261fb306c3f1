#include "prescriptions/medication_list.h"

#include <string>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/runtime/fixed_string.h"
#include "shell/table_report.h"

namespace prescriptions {

void quicklist() {
    shell::TableReport r;
    r.procedure = "quicklist";
    r.file = &data::PrescriptsFile();
    r.group = data::PrescriptsGroupRef;
    r.key = "PRE:ByActive";
    r.stepField = "PRE:ACTIVE";
    r.descending = true;
    r.appendOrder = "+PRE:DrugNameAsPrescribed";
    r.filter = "PRE:Active='Y'";
    r.maximisedPreview = true;
    r.dateStamp = "@d17";
    r.timeStamp = "@t7";
    // Only the person's own: the same name, trailing blanks aside, letter case and all.
    r.takes = [] {
        const std::string person = globals::personname().get();
        return rt::clip(data::PRE.PERSONSNAME) == rt::rtrim(person);
    };
    r.takesOnly = {{data::PrescriptsTable().fieldByName("PRE:PERSONSNAME")->number, files::FieldCondition::Op::Equal,
                    []() -> std::optional<files::KeyValue> { return std::string(rt::rtrim(globals::personname().get())); }}};
    shell::RunTableReport(r);
}

}  // namespace prescriptions
