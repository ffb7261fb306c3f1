#include "platform/classes/report_driver.h"

namespace cls {
namespace {

constexpr int kTimerHundredths = 10;
constexpr int kNoRecords = 25;
constexpr int kShrink = 2;  // an overlong tick halves the batch

}  // namespace

ReportDriver::ReportDriver(ProcedureBody& body) : ProcedureController(body) {
    window().Bind("PROGRESS:THERMOMETER", wnd::UseVariable::Long(THERMOMETER));
}

int ReportDriver::BeforeTables() {
    if (const int cancel = window().Find("?PROGRESS:CANCEL")) AddButtonAction(cancel, kResponseCancelled);
    return kLevelGoOn;
}

void ReportDriver::Initialise(RecordLoop& process, wnd::Report& report, PagePreviewer& preview) {
    PROCESS = &process;
    REPORT = &report;
    PREVIEW = &preview;
    RECORDSPERCYCLE = 1;
    TIMESLICE = 100;
    process.SetWindow(&window());
}

int ReportDriver::AfterTables() {
    // The report's own set-up needs its tables open; the progress window opens after it.
    SetUpReport();
    return kLevelGoOn;
}

void ReportDriver::AfterOpenScreen() {
    window().SetTimer(kTimerHundredths);
    if (const int user = window().Find("?PROGRESS:USERSTRING")) window().SetText(user, "");
}

void ReportDriver::AfterOpen() {
    ProcedureController::AfterOpen();
    if (!started_) {
        started_ = true;
        StartReport();
    }
}

int ReportDriver::StartReport() {
    OPENFAILED = 1;
    if (!PROCESS || !REPORT) {
        Finish(kResponseCancelled);
        return kLevelStop;
    }
    const int rewound = PROCESS->Rewind();
    const int first = rewound == 0 ? PROCESS->NextRecord() : rewound;
    if (first != 0) {
        // An empty view, or one that cannot be read (that error is reported already).
        if (first == files::kRecordNotAvailable && ERRORS) ERRORS->Throw(kNoRecords);
        Finish(kResponseCancelled);
        return kLevelStop;
    }
    OPENFAILED = 0;
    REPORT->Discard();
    return kLevelGoOn;
}

int ReportDriver::ProcessBatch() {
    const int r = PROCESS->OnRecord();
    if (r == kLevelStop) {
        Finish(RESPONSE ? RESPONSE : kResponseCancelled);
        return kLevelStop;
    }
    if (AdvanceRecord() != 0) return kLevelStop;
    return r == kLevelHandled ? kLevelHandled : kLevelGoOn;
}

int ReportDriver::AdvanceRecord() {
    const int e = PROCESS->NextRecord();
    if (e == 0) return 0;
    // The end of the view, or a read that failed (reported by the reader).
    Finish(e == files::kRecordNotAvailable && PROCESS->RECORDSPROCESSED > 0 ? kResponseCompleted : kResponseCancelled);
    return kLevelStop;
}

void ReportDriver::Finish(int response) {
    ended_ = true;
    window().SetTimer(0);
    CloseWith(response);
}

void ReportDriver::Tick() {
    using Clock = std::chrono::steady_clock;
    const auto began = Clock::now();
    const auto slice = std::chrono::milliseconds(10 * TIMESLICE);
    for (;;) {
        const int before = PROCESS->RECORDSPROCESSED;
        while (PROCESS->RECORDSPROCESSED - before < RECORDSPERCYCLE) {
            const int r = ProcessBatch();
            if (r == kLevelStop) return;
            if (r == kLevelHandled) return;  // the loop asked to let the window breathe
        }
        const auto used = Clock::now() - began;
        if (used < slice * 4 / 5) RECORDSPERCYCLE *= 2;
        if (used >= slice / 2) break;
    }
    if (Clock::now() - began > slice * 3 / 2 && RECORDSPERCYCLE > 1) RECORDSPERCYCLE = std::max(RECORDSPERCYCLE / kShrink, 1);
}

int ReportDriver::OnWindowEvent() {
    if (window().event() == wnd::Event::Timer) {
        if (!ended_ && !OPENFAILED && started_) Tick();
        return kLevelGoOn;
    }
    return ProcedureController::OnWindowEvent();
}

int ReportDriver::OnCloseRequest() {
    const int r = ProcedureController::OnCloseRequest();
    // Closed with the program: as if cancelled, so no preview opens and nothing is printed.
    if (r == kLevelGoOn && window().event() == wnd::Event::CloseDown) {
        ended_ = true;
        window().SetTimer(0);
        RESPONSE = kResponseCancelled;
    }
    return r;
}

int ReportDriver::EventLoop() {
    ProcedureController::EventLoop();  // until the progress window has closed
    if (WAITCURSOR) window().SetBusy(false);
    EndReport();
    return kLevelGoOn;
}

void ReportDriver::EndReport() {
    if (!REPORT) return;
    if (RESPONSE == kResponseCompleted && !OPENFAILED) {
        REPORT->EndPage();
        // A report whose records were all passed over made no page: nothing to show or print.
        if (REPORT->PageCount() > 0 && PREVIEW && !SKIPPREVIEW) printed_ = PREVIEW->Display(REPORT->TakePages());
    }
    REPORT->Discard();
}

}  // namespace cls
