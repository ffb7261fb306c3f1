#pragma once
// The loop of a report over its view: records read one by one in the view's order, each offered to
// OnRecord (which prints it, or not), with the progress measured by a step object on the order's
// key field and shown in the progress window.
#include <cstdint>

#include "platform/classes/table_group.h"
#include "platform/classes/thumb_step.h"
#include "platform/classes/view_reader.h"
#include "platform/window/window.h"

namespace cls {

class RecordLoop {
public:
    virtual ~RecordLoop() = default;

    // `percentText`: the control that shows "n% Complete"; `percentile`: the progress bar's
    // variable (0..100), set to 0 here.
    void Initialise(ViewReader& reader, TableGroup* group, int percentText, ThumbStep* step,
                    const rt::FieldDesc* valueField, std::int32_t* percentile);
    void SetWindow(wnd::Window* window) { window_ = window; }

    // The record just read, in the table's buffer: 0 takes it (a report prints it here), 3 stops
    // the report, 5 ends the work of this timer tick.
    virtual int OnRecord() { return 0; }

    // Back to the start: nothing processed, the progress measure read from the view's first and
    // last records, the view before its first record. A driver error, reported, when it fails.
    int Rewind();
    // Reads the next record and counts it; kRecordNotAvailable after the last.
    int NextRecord();
    // Shows the percentage when it changed.
    void ShowProgress(int percent);

    ViewReader& reader() const { return *reader_; }
    TableGroup* group() const { return group_; }

    int RECORDSPROCESSED = 0;
    int RECORDSTOPROCESS = 0;  // used only without a step object
    std::int32_t* PERCENTILE = nullptr;
    int PTEXT = 0;
    ThumbStep* STEPMGR = nullptr;
    const rt::FieldDesc* VALUEFIELD = nullptr;
    std::uint8_t CASESENSITIVEVALUE = 1;  // the text step folds case itself

private:
    ViewReader* reader_ = nullptr;
    TableGroup* group_ = nullptr;
    wnd::Window* window_ = nullptr;
};

}  // namespace cls
