#pragma once
// The controller of a report procedure. Its window is the report's progress window; when that
// opens, the report starts (the first record read, or "No Records"); each tick of the window's
// timer takes a batch of records through the record loop, the batch growing or shrinking so that a
// tick uses about half the time slice; at the end the progress window closes and the pages go to
// the preview, from which the user prints them. Cancel ends it at once, with nothing shown; so does
// the program's close (CloseDown) while the report runs.
//
//     class ThingsReport final : public cls::ReportDriver {
//     public:
//         ThingsReport(cls::ProcedureBody& body, wnd::Report& report) : ReportDriver(body) {
//             UseTable(&group); ...
//         }
//     protected:
//         void SetUpReport() override {            // after the tables are opened
//             step.Initialise(5, 3);
//             loop.Initialise(reader, &group, 3, &step, keyField, &THERMOMETER);
//             reader.UseOrder(key);
//             Initialise(loop, report, preview);
//         }
//     };
#include <chrono>
#include <cstdint>

#include "platform/classes/page_previewer.h"
#include "platform/classes/record_loop.h"
#include "platform/classes/window_procedure.h"
#include "platform/window/report.h"

namespace cls {

class ReportDriver : public ProcedureController {
public:
    // The progress window's bar shows THERMOMETER; its Cancel button answers 2.
    explicit ReportDriver(ProcedureBody& body);

    using ProcedureController::Initialise;
    // Binds the loop, the report and the previewer; RECORDSPERCYCLE 1, TIMESLICE 100.
    void Initialise(RecordLoop& process, wnd::Report& report, PagePreviewer& preview);

    // Rewinds the loop and reads the first record: 0 when there is one (the report is open for
    // its pages); otherwise OPENFAILED, "No Records" (message 25), the window closing with 2.
    virtual int StartReport();
    // The current record through the loop's OnRecord, then the next read: 0 go on, 3 the report
    // has ended (or was stopped), 5 this tick's work is done.
    virtual int ProcessBatch();
    // Reads the next record; at the end (or on a read error) the window closes with 1 when any
    // record was processed, else 2. 0 while there are records.
    virtual int AdvanceRecord();
    // The last page closed and the pages shown in the preview (completed reports with pages).
    virtual void EndReport();

    std::uint8_t SKIPPREVIEW = 0, DEFERWINDOW = 0, DEFEROPENREPORT = 0, WAITCURSOR = 0, OPENFAILED = 0;
    std::int32_t THERMOMETER = 0;  // the progress bar's variable, 0..100
    int RECORDSPERCYCLE = 1;
    int TIMESLICE = 100;  // hundredths of a second one tick may use
    RecordLoop* PROCESS = nullptr;
    wnd::Report* REPORT = nullptr;
    PagePreviewer* PREVIEW = nullptr;

    // Whether the user printed from the preview (for tests and callers that care).
    bool printed() const { return printed_; }

protected:
    // The report's own set-up, after its tables are opened and its progress window exists:
    // step, loop, order, filter or range, and Initialise(loop, report, preview).
    virtual void SetUpReport() {}

    int BeforeTables() override;
    int AfterTables() override;
    void AfterOpenScreen() override;
    void AfterOpen() override;
    int OnWindowEvent() override;
    int OnCloseRequest() override;
    int EventLoop() override;

private:
    void Tick();
    void Finish(int response);

    bool started_ = false;
    bool ended_ = false;
    bool printed_ = false;
};

}  // namespace cls
