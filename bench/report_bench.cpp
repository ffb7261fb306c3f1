// The all-prescriptions report as a user runs it: chosen from the frame's menu, timed until the
// first page of its preview is painted, then left. Run on the Qt presenter (offscreen unless a
// display is asked for) and again on the headless presenter, each three times per size. Then the
// GUI's longest stall while 3 000 pages of it print to a PDF file.
//
//     report_bench [--fresh] [--qt | --headless] [size ...]     (default sizes 10000 100000; both presenters)
//
// One line per figure, `report_bench <step> <size> <value>`:
//   preview           median ms from the menu to the painted first page (Qt)
//   peak              the most resident memory while the three previews were open, MiB (Qt)
//   before, after_close  resident memory before the first preview and after the third closed, MiB
//   headless_preview, headless_peak, headless_before, headless_after_close: the same headless
//   pages            the packed pages of one preview, MiB (pages_bytes_per_page: bytes a page)
//   print, print_stall  ms to print the pages, and the longest the GUI thread went without
//                    turning its event loop meanwhile (size: pages)
//
// The data folders are made once under /tmp and reused (--fresh makes them again).
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
#include "bench/prescription_fill.h"
#include "platform/headless/scripted_user.h"
#include "platform/qt/page_preview.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

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

void figure(const char* step, long size, double value) { std::printf("report_bench %s %ld %.3f\n", step, size, value); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string folder(int count, bool fresh) {
    const std::string dir = "/tmp/prescripts-report-bench-" + std::to_string(count);
    if (fresh) std::filesystem::remove_all(dir);
    bench::PrescriptionFolder(dir, count);
    return dir;
}

// Turns the GUI's event loop until `done`; false after the time-out.
bool waitFor(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(600)) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::fprintf(stderr, "report_bench: timed out\n");
    return false;
}

// Widgets closed are deleted later; memory is measured after they are.
void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// The program on the Qt presenter: its first thread on a thread of its own, the GUI here.
class QtProgram {
public:
    explicit QtProgram(qtp::Screen& screen) : screen_(screen) {
        thread_ = std::thread([this] {
            wnd::ThisThreadQueue();
            shell::ProgramMain();
            done_ = true;
        });
        waitFor([this] { return Action(Frame(), "?REPORTPRESCRIPTS") != nullptr; });
        settle();
        threads_ = rt::LiveTaskThreads();
    }
    ~QtProgram() {
        wnd::PostToAllWindows(wnd::Event::CloseDown);
        waitFor([this] { return done_.load(); });
        thread_.join();
    }
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    wnd::WindowId Frame() const { return screen_.Find("Main"); }
    QAction* Action(wnd::WindowId id, const char* use) const { return id ? screen_.MenuAction(id, use) : nullptr; }

    // From the menu to the preview's first page painted.
    qtp::PagePreview* OpenPreview() {
        Action(Frame(), "?REPORTPRESCRIPTS")->trigger();
        qtp::PagePreview* shown = nullptr;
        waitFor([&] {
            auto* p = dynamic_cast<qtp::PagePreview*>(screen_.ControlWidget(screen_.Find("Report Preview"), "?PAGES"));
            if (!p || !p->isVisible() || p->Sheets().empty()) return false;
            shown = p;
            return true;
        });
        if (shown) shown->viewport()->repaint();
        return shown;
    }
    void LeavePreview() {
        Action(screen_.Find("Report Preview"), "?EXIT")->trigger();
        Idle();
    }
    // The preview closed and its report's thread ended.
    void Idle() {
        waitFor([this] { return screen_.Find("Report Preview") == 0 && rt::LiveTaskThreads() <= threads_; });
        settle();
    }

private:
    qtp::Screen& screen_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::size_t threads_ = 0;
};

void qtPreviews(qtp::Screen& screen, int count) {
    QtProgram program(screen);
    const double before = residentMiB();
    resetPeak();
    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        if (!program.OpenPreview()) return;
        ms.push_back(msSince(t0));
        program.LeavePreview();
    }
    figure("preview", count, median(ms));
    figure("peak", count, peakMiB());
    figure("before", count, before);
    figure("after_close", count, residentMiB());
}

// Prints the preview of `count` prescriptions to a PDF file through the print dialog; the
// longest time one turn of the event loop took meanwhile is the GUI's longest stall.
void qtPrint(qtp::Screen& screen, int count) {
    QtProgram program(screen);
    if (!program.OpenPreview()) return;
    const long pages = static_cast<long>(count + 2) / 3;
    program.Action(screen.Find("Report Preview"), "?PRINT")->trigger();
    QPrintDialog* dialog = nullptr;
    waitFor([&] {
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
    double stall = msSince(t0);  // the click itself, with whatever it ran
    const auto end = Clock::now() + std::chrono::minutes(10);
    while (screen.Find("Report Preview") != 0 && Clock::now() < end) {
        const auto turn = Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        stall = std::max(stall, msSince(turn));
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    figure("print", pages, msSince(t0));
    figure("print_stall", pages, stall);
    program.Idle();
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
        ms.push_back(msSince(t0));
        if (run == 0) {
            const auto pages = preview.Pages("?PAGES");
            figure("pages", count, static_cast<double>(pages->pages.BytesHeld()) / (1024.0 * 1024.0));
            figure("pages_bytes_per_page", count, static_cast<double>(pages->pages.BytesHeld()) / static_cast<double>(pages->pages.size()));
        }
        preview.Press("?EXIT");
        user.WaitIdle();
    }
    figure("headless_preview", count, median(ms));
    figure("headless_peak", count, peakMiB());
    figure("headless_before", count, before);
    figure("headless_after_close", count, residentMiB());
}

}  // namespace

int main(int argc, char** argv) {
    bool fresh = false, qtOnly = false, headlessOnly = false;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) fresh = true;
        else if (std::strcmp(argv[i], "--qt") == 0) qtOnly = true;
        else if (std::strcmp(argv[i], "--headless") == 0) headlessOnly = true;
        else if (const int n = std::atoi(argv[i]); n > 0) sizes.push_back(n);
    }
    if (sizes.empty()) sizes = {10000, 100000};
    constexpr int kPrintedPrescriptions = 9000;  // 3 000 pages, three to a page
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int args = 1;
    QApplication app(args, argv);
    auto headless = bench::PrepareProgram();
    if (!headless) return 1;

    if (!headlessOnly) {
        auto qt = std::make_shared<qtp::QtPresenter>();
        wnd::SetPresenter(qt);
        for (int count : sizes) {
            files::SetDataFolder(folder(count, fresh));
            qtPreviews(qt->screen(), count);
        }
        files::SetDataFolder(folder(kPrintedPrescriptions, fresh));
        qtPrint(qt->screen(), kPrintedPrescriptions);
        std::fflush(stdout);
        wnd::SetPresenter(nullptr);
    }
    if (qtOnly) return 0;
    wnd::SetPresenter(headless);
    for (int count : sizes) {
        files::SetDataFolder(folder(count, fresh));
        headlessPreviews(headless, count);
    }
    wnd::SetPresenter(nullptr);
    return 0;
}
