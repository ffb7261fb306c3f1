#include "platform/qt/print_job.h"

#include <QPrinter>

#include <utility>

#include "platform/qt/page_printer.h"
#include "platform/window/page_set.h"

namespace qtp {

PrintJob::PrintJob(std::unique_ptr<QPrinter> printer, std::shared_ptr<const wnd::PageSet> pages, std::vector<int> selection,
                   QObject* context, std::function<void(PrintJob&, bool)> done)
    : printer_(std::move(printer)), pages_(std::move(pages)), selection_(std::move(selection)), done_(std::move(done)) {
    worker_ = std::thread([this, context] {
        printed_ = pages_ && PrintPages(*printer_, *pages_, selection_);
        // Queued to the context's thread; a context that goes first finishes its jobs before, and
        // takes this call with it.
        QMetaObject::invokeMethod(context, [this] { Finish(); }, Qt::QueuedConnection);
    });
}

PrintJob::~PrintJob() {
    if (worker_.joinable()) worker_.join();
}

void PrintJob::Finish() {
    if (worker_.joinable()) worker_.join();
    if (auto done = std::exchange(done_, nullptr)) done(*this, printed_);
}

}  // namespace qtp
