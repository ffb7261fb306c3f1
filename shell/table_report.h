#pragma once
// The report procedure every printed output of the program follows: a progress window and a report
// layout from the procedure's resource ("P1$PROGRESSWINDOW", "P1$REPORT"), one table read through a
// record view in key order (with a filter or a range where the report has one), the detail band
// printed for each record the report takes, the pages shown in the preview. The table's fields (and
// memo) are bound to the report's controls of the same names, through the calling thread's buffer.
//
//     shell::TableReport r;
//     r.procedure = "ReportThings";
//     r.file = &data::ThingsFile(); r.group = data::ThingsGroupRef;
//     r.key = "THI:ByName"; r.stepField = "THI:NAME";
//     r.dateStamp = "@d17";          // ?REPORTDATESTAMP shows the day the report started
//     shell::RunTableReport(r);      // CallResponse holds 1 or 2 afterwards
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/table_group.h"
#include "platform/files/record_view.h"
#include "platform/files/table_file.h"
#include "platform/window/report.h"

namespace shell {

struct TableReport {
    std::string procedure;
    files::TableFile* file = nullptr;
    cls::TableGroup* group = nullptr;
    std::string key;        // the order the records are read and printed in
    std::string stepField;  // the key field that measures progress
    bool descending = false;  // the key runs downward (for the progress step's flags)
    std::string appendOrder;  // sort fields after the key's own ("+PRE:DrugNameAsPrescribed"), or empty
    std::string filter;       // the view's filter expression, or empty
    std::string range;        // a field whose value in the buffer at the start limits the key
    bool waitCursor = false;  // the normal cursor is restored when the progress window closes
    bool maximisedPreview = false;
    int previewZoom = 0;      // the preview's zoom when it opens: percent, 0 whole pages
    // Stamps set once when the report has started, so every page shows that moment: the pictures
    // ?REPORTDATESTAMP shows today's date in and ?REPORTTIMESTAMP the time in; empty for none.
    std::string dateStamp, timeStamp;
    std::string pageNumber;   // a control that shows the number of its page ("?REPORTPAGENUMBER")
    // Binds what the report prints besides the table's fields, before it starts.
    std::function<void(wnd::Report&)> bind;
    // Whether a record read is printed; every record when not set.
    std::function<bool()> takes;
    // What every record `takes` accepts meets, for the database to test: the report then reads
    // only those records (ViewReader::NarrowPass).
    std::vector<files::FieldCondition> takesOnly;
};

void RunTableReport(const TableReport& settings);

}  // namespace shell
