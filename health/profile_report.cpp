#include "health/profile_report.h"

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "shell/table_report.h"

namespace health {

void profile() {
    shell::TableReport r;
    r.procedure = "profile";
    r.file = &data::PersonsNameFile();
    r.group = data::PersonsNameGroupRef;
    r.key = "PER:ByName";
    r.stepField = "PER:PERSONSNAME";
    r.range = "PER:PERSONSNAME";  // the name in the buffer when the report starts
    r.waitCursor = true;
    r.previewZoom = 50;
    r.dateStamp = "@D4";
    r.pageNumber = "?REPORTPAGENUMBER";
    shell::RunTableReport(r);
}

}  // namespace health
