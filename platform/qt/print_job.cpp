#include "platform/qt/print_job.h"

#include <QFile>
#include <QPrinter>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/qt/page_printer.h"
#include "platform/window/page_set.h"

namespace qtp {
namespace {

// A file printed to holds the household's health data: it is the owner's alone (0600) from the
// moment it exists, before the printer writes a byte into it. A file that was there before is
// made so as well; the printer then writes over it, keeping its mode.
void MakePrivateOutputFile(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) return;
    const QByteArray path = QFile::encodeName(printer.outputFileName());
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;  // the printer reports the failure when it cannot open the file either
    ::fchmod(fd, 0600);
    ::close(fd);
}

}  // namespace

PrintJob::PrintJob(std::unique_ptr<QPrinter> printer, std::shared_ptr<const wnd::PageSet> pages, std::vector<int> selection,
                   QObject* context, std::function<void(PrintJob&, bool)> done)
    : printer_(std::move(printer)), pages_(std::move(pages)), selection_(std::move(selection)), done_(std::move(done)) {
    worker_ = std::thread([this, context] {
        if (pages_) MakePrivateOutputFile(*printer_);
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
