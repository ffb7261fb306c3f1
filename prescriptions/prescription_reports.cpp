#include "prescriptions/prescription_reports.h"

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "shell/table_report.h"

namespace prescriptions {
namespace {

shell::TableReport byPrintKey(const char* procedure) {
    shell::TableReport r;
    r.procedure = procedure;
    r.file = &data::PrescriptsFile();
    r.group = data::PrescriptsGroupRef;
    r.key = "PRE:printby";
    r.stepField = "PRE:PRINTKEY";
    return r;
}

}  // namespace

void ReportPrescripts() { shell::RunTableReport(byPrintKey("ReportPrescripts")); }

void printprescrpt() {
    shell::TableReport r = byPrintKey("printprescrpt");
    r.range = "PRE:PRINTKEY";  // every stored prescription with the buffer's print key
    r.waitCursor = true;
    shell::RunTableReport(r);
}

}  // namespace prescriptions
