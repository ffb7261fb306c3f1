// The all-prescriptions report as a user runs it: chosen from the frame's menu, timed until the
// first page of its preview is painted, then left. Run on the Qt presenter (offscreen unless a
// display is asked for) and again on the headless presenter, each three times per size. Then the
// GUI's longest stall while 3 000 pages of it print to a PDF file. Then, on the Qt presenter, the
// two reports that print a few rows of a large file: Print List from the reminders list and the
// Quick Listing of one person, at 100 and 1 000 000 prescriptions.
//
//     report_bench [--fresh] [--qt | --headless] [--data DIR] [size ...]
//         (default sizes 10000 100000; both presenters; the filtered reports with --qt or both)
//
// One line per figure, `report_bench <step> <size> <value>`:
//   preview           median ms from the menu to the painted first page (Qt), every prescription
//                    read and printed before the preview opens; preview_us_per_row: per prescription
//   peak              the most resident memory while the three previews were open, MiB (Qt)
//   before, after_close  resident memory before the first preview and after the third closed, MiB
//   headless_preview, headless_peak, headless_before, headless_after_close: the same headless
//   pages            the packed pages of one preview, MiB (pages_bytes_per_page: bytes a page)
//   print, print_stall  ms to print the pages, and the longest the GUI thread went without
//                    turning its event loop meanwhile (size: pages)
//   print_list       median ms from "Print List" on the reminders list, one prescription due, to
//                    the painted first page (Qt; size: prescriptions in the file, 100 and 1 000 000)
//   quick_listing    median ms from OK on the person's choice to the painted first page of the
//                    person's medication list: a tenth of the file's prescriptions, all active
//                    (100 000 at 1 000 000; Qt; the same sizes); quick_listing_us_per_row: per row
//                    printed, to set beside preview_us_per_row
//
// The data folders are made once in DIR (default: the system's temporary folder) and reused
// (--fresh makes them again).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_program.h"
#include "bench/qt_bench.h"
#include "bench/prescription_fill.h"
#include "platform/headless/scripted_user.h"
#include "platform/qt/page_preview.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::MsSince;
using bench::WaitFor;

double residentMiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The peak resident memory since the last reset (the kernel's high-water mark).
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
double peakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

void figure(const char* step, long size, double value) { bench::Figure("report_bench", step, size, value); }

std::string folder(const bench::Options& o, int count) { return bench::DataFolderOf(o, "report-bench", count); }

constexpr const char* kPreview = "Report Preview";

// Until a preview other than `other` shows its first page, painted then.
qtp::PagePreview* PaintedPreview(bench::QtProgram& program, wnd::WindowId other = 0) {
    qtp::PagePreview* shown = nullptr;
    WaitFor([&] {
        const wnd::WindowId id = program.screen().Find(kPreview);
        if (!id || id == other) return false;
        auto* p = dynamic_cast<qtp::PagePreview*>(program.screen().ControlWidget(id, "?PAGES"));
        if (!p || !p->isVisible() || p->Sheets().empty()) return false;
        shown = p;
        return true;
    });
    if (shown) shown->viewport()->repaint();
    return shown;
}

// From the menu to the preview's first page painted.
qtp::PagePreview* OpenPreview(bench::QtProgram& program) {
    program.Action(program.Frame(), "?REPORTPRESCRIPTS")->trigger();
    return PaintedPreview(program);
}

void ExitPreview(bench::QtProgram& program) { program.Action(program.screen().Find(kPreview), "?EXIT")->trigger(); }

void LeavePreview(bench::QtProgram& program) {
    ExitPreview(program);
    program.Idle(kPreview);
}

// The button `use` of window `window` once the user can press it.
QAbstractButton* EnabledButton(bench::QtProgram& program, const char* window, const char* use) {
    QAbstractButton* button = nullptr;
    WaitFor([&] {
        button = qobject_cast<QAbstractButton*>(program.Control(window, use));
        return button && button->isVisible() && button->isEnabled();
    });
    return button;
}

// The filtered reports of a folder of `count` prescriptions: Print List of the reminders list
// with one prescription due, and the Quick Listing of the person with twenty prescriptions.
void qtFilteredReports(qtp::Screen& screen, const bench::Options& options, int count) {
    const std::string dir = bench::FilteredFolderOf(options, count);
    bench::SetReminderDue(dir, false);  // due once the program runs, so it starts without the reminders
    bench::QtProgram program(screen, "?REPORTSREMINDERS");
    bench::SetReminderDue(dir, true);

    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
        program.Action(program.Frame(), "?REPORTSREMINDERS")->trigger();
        QAbstractButton* print = EnabledButton(program, "Reminders", "?PRINT");  // enabled once a row shows
        if (!print) return;
        program.SettleAndPaint();
        const auto t0 = Clock::now();
        print->click();
        if (!PaintedPreview(program)) return;
        ms.push_back(MsSince(t0));
        ExitPreview(program);
        WaitFor([&] { return screen.Find(kPreview) == 0; });
        EnabledButton(program, "Reminders", "?CLOSE")->click();
        program.Idle("Reminders");
    }
    figure("print_list", count, Median(ms));

    ms.clear();
    for (int run = 0; run < 3; ++run) {
        program.Action(program.Frame(), "?REPORTSITEM21")->trigger();
        QComboBox* people = nullptr;
        WaitFor([&] {
            people = qobject_cast<QComboBox*>(program.Control("prequick", "?PER:PERSONSNAME"));
            return people && people->isVisible() && people->findText(bench::kQuickPerson) >= 0;
        });
        if (!people) return;
        const int row = people->findText(bench::kQuickPerson);
        people->setCurrentIndex(row);
        emit people->activated(row);  // as a choice from the drop-down list
        QAbstractButton* ok = EnabledButton(program, "prequick", "?OKBUTTON");
        if (!ok) return;
        program.SettleAndPaint();
        const auto t0 = Clock::now();
        ok->click();
        qtp::PagePreview* listing = PaintedPreview(program);
        if (!listing) return;
        ms.push_back(MsSince(t0));
        const wnd::WindowId first = screen.Find(kPreview);
        ExitPreview(program);
        if (!PaintedPreview(program, first)) return;  // the person's profile comes next
        LeavePreview(program);
    }
    figure("quick_listing", count, Median(ms));
    figure("quick_listing_us_per_row", count, Median(ms) * 1000.0 / bench::QuickRows(count));
}

void qtPreviews(qtp::Screen& screen, int count) {
    bench::QtProgram program(screen, "?REPORTPRESCRIPTS");
    const double before = residentMiB();
    resetPeak();
    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        if (!OpenPreview(program)) return;
        ms.push_back(MsSince(t0));
        LeavePreview(program);
    }
    figure("preview", count, Median(ms));
    figure("preview_us_per_row", count, Median(ms) * 1000.0 / count);
    figure("peak", count, peakMiB());
    figure("before", count, before);
    figure("after_close", count, residentMiB());
}

// Prints the preview of `count` prescriptions to a PDF file through the print dialog; the
// longest time one turn of the event loop took meanwhile is the GUI's longest stall.
void qtPrint(qtp::Screen& screen, int count) {
    bench::QtProgram program(screen, "?REPORTPRESCRIPTS");
    if (!OpenPreview(program)) return;
    const long pages = static_cast<long>(count + 2) / 3;
    program.Action(screen.Find(kPreview), "?PRINT")->trigger();
    QPrintDialog* dialog = nullptr;
    WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) dialog = d;
        return dialog != nullptr;
    });
    auto* printers = dialog ? dialog->findChild<QComboBox*>("printers") : nullptr;
    auto* file = dialog ? dialog->findChild<QLineEdit*>("filename") : nullptr;
    if (!printers || !file || printers->findText("PDF", Qt::MatchContains) < 0) {
        std::fprintf(stderr, "report_bench: the print dialog offers no PDF file\n");
        return;
    }
    const std::string pdf = (std::filesystem::temp_directory_path() / "prescripts-report-bench.pdf").string();
    printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
    file->setText(QString::fromStdString(pdf));
    const auto t0 = Clock::now();
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    double stall = MsSince(t0);  // the click itself, with whatever it ran
    const auto end = Clock::now() + std::chrono::minutes(10);
    while (screen.Find(kPreview) != 0 && Clock::now() < end) {
        const auto turn = Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        stall = std::max(stall, MsSince(turn));
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    figure("print", pages, MsSince(t0));
    figure("print_stall", pages, stall);
    program.Idle(kPreview);
    std::filesystem::remove(pdf);
}

void headlessPreviews(const std::shared_ptr<hl::HeadlessPresenter>& presenter, int count) {
    hl::ScriptedUser user(presenter, std::chrono::minutes(10));
    bench::RunningProgram program;
    auto frame = user.Find("Main");
    user.WaitIdle();
    const double before = residentMiB();
    resetPeak();
    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        frame.Press("?REPORTPRESCRIPTS");
        auto preview = user.Find("Report Preview");
        ms.push_back(MsSince(t0));
        if (run == 0) {
            const auto pages = preview.Pages("?PAGES");
            figure("pages", count, static_cast<double>(pages->pages.BytesHeld()) / (1024.0 * 1024.0));
            figure("pages_bytes_per_page", count, static_cast<double>(pages->pages.BytesHeld()) / static_cast<double>(pages->pages.size()));
        }
        preview.Press("?EXIT");
        user.WaitIdle();
    }
    figure("headless_preview", count, Median(ms));
    figure("headless_peak", count, peakMiB());
    figure("headless_before", count, before);
    figure("headless_after_close", count, residentMiB());
}

}  // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::ParseOptions(argc, argv, {10000, 100000});
    if (options.help) {
        std::printf("usage: report_bench [--fresh] [--qt | --headless] [--data DIR] [size ...]   (default sizes 10000 100000)\n"
                    "  prints `report_bench <step> <size> <value>`; Print List and Quick Listing run at 100 and 1000000\n"
                    "  preview: ms from the menu to the painted first page of the all-prescriptions report (all rows\n"
                    "    printed first); preview_us_per_row: the same per prescription\n"
                    "  print_list: ms from Print List on the reminders list (one due) to its painted preview\n"
                    "  quick_listing: ms from OK on the person to the painted medication list of a person holding a\n"
                    "    tenth of the file, all active (100000 rows at 1000000); quick_listing_us_per_row: per row\n"
                    "  peak, before, after_close, pages: memory in MiB; print, print_stall: ms for 3000 pages to PDF\n");
        return 0;
    }
    constexpr int kPrintedPrescriptions = 9000;  // 3 000 pages, three to a page
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int args = 1;
    QApplication app(args, argv);
    auto headless = bench::PrepareProgram();
    if (!headless) return 1;

    if (options.qt) {
        auto qt = std::make_shared<qtp::QtPresenter>();
        wnd::SetPresenter(qt);
        for (int count : options.sizes) {
            files::SetDataFolder(folder(options, count));
            qtPreviews(qt->screen(), count);
        }
        files::SetDataFolder(folder(options, kPrintedPrescriptions));
        qtPrint(qt->screen(), kPrintedPrescriptions);
        for (int count : {100, 1000000}) qtFilteredReports(qt->screen(), options, count);
        std::fflush(stdout);
        wnd::SetPresenter(nullptr);
    }
    if (!options.headless) return 0;
    wnd::SetPresenter(headless);
    for (int count : options.sizes) {
        files::SetDataFolder(folder(options, count));
        headlessPreviews(headless, count);
    }
    wnd::SetPresenter(nullptr);
    return 0;
}
