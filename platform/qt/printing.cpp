#include "platform/qt/printing.h"

#include <QFile>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "platform/qt/dialog_place.h"
#include "platform/qt/page_printer.h"
#include "platform/qt/page_setup_choices.h"
#include "platform/qt/picture_book.h"
#include "platform/qt/print_file.h"
#include "platform/qt/print_job.h"
#include "platform/window/page_set.h"

namespace qtp {

// One print dialog's question: its own printer, and what to print on it once accepted.
struct Printing::Ask {
    std::unique_ptr<QPrinter> printer;
    std::shared_ptr<const wnd::PageSet> pages;
    std::vector<int> selection;
    std::function<void(int)> answer;
    bool accepted = false;
};

Printing::Printing() : settings_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

Printing::~Printing() { End(); }

void Printing::Show(QWidget& dialog, const QWidget* over) {
    dialog.setAttribute(Qt::WA_DeleteOnClose);
    MakeDialogOf(dialog, frame_);
    // Shown, not run: exec() would spin a nested loop, and open() would make it window-modal,
    // freezing every thread's windows in the frame. Only the asking thread's windows wait.
    dialog.setWindowModality(Qt::NonModal);
    dialog.setWindowIcon(ProgramIcon());
    dialog.adjustSize();
    PlaceOver(dialog, over);
    std::erase_if(dialogs_, [](const QPointer<QWidget>& p) { return p.isNull(); });
    dialogs_.push_back(&dialog);
    dialog.show();
    // A dialog that fills its boxes only when shown (the print dialog's printers) needs more room
    // then: its printer's name shows whole.
    if (const QSize need = dialog.size().expandedTo(dialog.sizeHint()); need != dialog.size()) {
        dialog.resize(need);
        PlaceOver(dialog, over);
    }
    dialog.activateWindow();
}

void Printing::AskPrint(std::shared_ptr<const wnd::PageSet> pages, std::vector<int> selection, const QString& folder,
                        const QWidget* over, std::function<void(int)> answer) {
    if (!pages || ending_) {
        answer(0);
        return;
    }
    auto ask = std::make_shared<Ask>();
    ask->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    CarryOver(*settings_, *ask->printer);
    if (chosenLayout_)
        ask->printer->setPageLayout(*chosenLayout_);
    else
        UsePaperOf(*ask->printer, *pages);
    // The file is proposed to this dialog alone until its answer has come (the job has printed, or
    // the dialog was cancelled); by then a file printed there is there.
    const QString file = ProposePrintFile(folder, QString::fromStdString(pages->title), proposed_);
    proposed_.insert(file);
    if (ask->printer->outputFormat() == QPrinter::PdfFormat) ask->printer->setOutputFileName(file);
    ask->pages = std::move(pages);
    ask->selection = std::move(selection);
    ask->answer = [this, file, answer = std::move(answer)](int printed) {
        proposed_.erase(file);
        answer(printed);
    };
    auto* dialog = new QPrintDialog(ask->printer.get());
    // Which pages to print is the task's choice.
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    connect(dialog, &QDialog::accepted, this, [this, ask] {
        ask->accepted = true;
        CarryOver(*ask->printer, *settings_);  // the next dialog starts from these choices
    });
    // Gone (closed, or with the presenter): cancelled, or the pages print.
    connect(dialog, &QObject::destroyed, this, [this, ask] { DialogGone(ask); });
    Show(*dialog, over);
    // The dialog fills its file box from the printer when shown, with a name of its own when the
    // printer prints on paper.
    if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) box->setText(file);
}

void Printing::DialogGone(const std::shared_ptr<Ask>& ask) {
    if (!ask->accepted) {
        ask->answer(0);
        return;
    }
    // The job starts once the dialog's own teardown has passed, from the event loop (or from End).
    accepted_.push_back(ask);
    if (!ending_) QTimer::singleShot(0, this, [this] { StartAccepted(); });
}

void Printing::StartAccepted() {
    for (auto& ask : std::exchange(accepted_, {})) {
        jobs_.push_back(std::make_unique<PrintJob>(std::move(ask->printer), ask->pages, ask->selection, this,
                                                   [this, answer = ask->answer](PrintJob& job, bool printed) {
            answer(printed ? 1 : 0);
            // The job (its printer and its hold on the pages) goes once its Finish has returned.
            QMetaObject::invokeMethod(this, [this, done = &job] {
                std::erase_if(jobs_, [done](const std::unique_ptr<PrintJob>& j) { return j.get() == done; });
            }, Qt::QueuedConnection);
        }));
    }
}

void Printing::PageSetup(const QWidget* over) {
    if (ending_) return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    CarryOver(*settings_, *printer);
    if (chosenLayout_) printer->setPageLayout(*chosenLayout_);
    auto* dialog = new QPageSetupDialog(printer.get());
    // Its OK changes the settings kept for the next print, and nothing under way. The dialog is
    // shown, not run, so its choices are read from its boxes (page_setup_choices.h). An OK that
    // changed nothing the boxes showed at opening chooses nothing: the set-up opens on the
    // printer's paper, not a report's, and each report keeps its own. The connection holds the
    // printer, so it lives as long as the dialog that edits it.
    const std::optional<QPageLayout> opened = ChosenPageLayout(*dialog);
    connect(dialog, &QDialog::accepted, this, [this, dialog, printer, opened] {
        if (auto layout = ChosenPageLayout(*dialog); layout && !(opened && layout->isEquivalentTo(*opened))) {
            chosenLayout_ = *layout;
            settings_->setPageLayout(*layout);
        }
    });
    Show(*dialog, over);
}

void Printing::End() {
    if (ending_) return;
    ending_ = true;
    for (auto& d : std::exchange(dialogs_, {})) delete d.data();
    StartAccepted();
    // Prints under way are let finish, and answered; a job is not destroyed inside its own Finish.
    for (auto& job : jobs_) job->Finish();
    jobs_.clear();
}

std::vector<QWidget*> Printing::Dialogs() const {
    std::vector<QWidget*> out;
    for (const auto& d : dialogs_)
        if (d && d->isVisible()) out.push_back(d.data());
    return out;
}

}  // namespace qtp
