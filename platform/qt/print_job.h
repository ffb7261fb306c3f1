#pragma once
// Pages printed on a thread of their own, so the windows keep running while a long report goes to
// the printer (or to the PDF file the print dialog chose). The job paints with the preview's own
// routine (PrintPages); its printer is its own for as long as it runs.
//
// Made and finished on the GUI thread: the worker, once done, asks `context`'s thread to call
// Finish, which hands the result to `done`. A job finished or destroyed before its worker ends
// waits for it, so a print is never cut off half-written. The context must finish (or destroy)
// its jobs before it goes, and must not destroy a job inside `done`.
//
// A thread of the job's own, not Qt's pool: its start and its join publish the printer and the
// pages to the worker and back where ThreadSanitizer sees it (Qt's pool hand-offs it cannot see).
#include <QObject>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QPrinter;

namespace wnd {
struct PageSet;
}

namespace qtp {

class PrintJob {
public:
    PrintJob(std::unique_ptr<QPrinter> printer, std::shared_ptr<const wnd::PageSet> pages, std::vector<int> selection,
             QObject* context, std::function<void(PrintJob&, bool printed)> done);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Waits for the worker, then calls `done` (once, however often this is called).
    void Finish();

private:
    std::unique_ptr<QPrinter> printer_;
    std::shared_ptr<const wnd::PageSet> pages_;
    std::vector<int> selection_;
    std::function<void(PrintJob&, bool)> done_;
    bool printed_ = false;  // written by the worker, read after it is joined
    std::thread worker_;
};

}  // namespace qtp
