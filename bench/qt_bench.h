#pragma once
// What the benchmarks that drive the program through the Qt presenter share: the clock and the
// figures they print, their command line, the GUI's event loop turned while they wait, and the
// program running its first thread beside the GUI thread.
//
// Every figure is one line, `<bench> <step> <size> <value>` (value: median ms, or MiB), so ratios
// between sizes can be read off one run.
#include <QApplication>
#include <QMainWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/prescription_fill.h"
#include "pictures/program_pictures.h"
#include "platform/qt/screen.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/run_application.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline void Figure(const char* bench, const std::string& step, long size, double value) {
    std::printf("%s %s %ld %.3f\n", bench, step.c_str(), size, value);
    std::fflush(stdout);
}

//     <bench> [--fresh] [--qt | --headless] [--data DIR] [size ...]
struct Options {
    bool fresh = false;     // make the data folders again
    bool qt = true;         // run on the Qt presenter
    bool headless = true;   // run on the headless presenter
    bool help = false;      // --help: print the use, run nothing
    std::string data;       // where the data folders are kept; the system's temporary folder when empty
    std::vector<int> sizes;
};

inline Options ParseOptions(int argc, char** argv, std::vector<int> defaultSizes) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) o.fresh = true;
        else if (std::strcmp(argv[i], "--qt") == 0) o.headless = false;
        else if (std::strcmp(argv[i], "--headless") == 0) o.qt = false;
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) o.help = true;
        else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) o.data = argv[++i];
        else if (std::strncmp(argv[i], "--data=", 7) == 0) o.data = argv[i] + 7;
        else if (const int n = std::atoi(argv[i]); n > 0 || std::strcmp(argv[i], "0") == 0) o.sizes.push_back(n);
    }
    if (o.sizes.empty()) o.sizes = std::move(defaultSizes);
    return o;
}

// The folder the data folders are kept in: --data, else the system's temporary folder.
inline std::filesystem::path DataRoot(const Options& o) {
    return o.data.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(o.data);
}

// The data folder "prescripts-<name>-<count>" in the data root, made by `make` once and reused
// (fresh: made again).
inline std::string KeptFolder(const Options& o, const std::string& name, int count, bool (*make)(const std::string&, int)) {
    const std::string dir = (DataRoot(o) / ("prescripts-" + name + "-" + std::to_string(count))).string();
    if (o.fresh) std::filesystem::remove_all(dir);
    make(dir, count);
    return dir;
}

// A data folder of `count` prescriptions for one benchmark.
inline std::string DataFolderOf(const Options& o, const char* bench, int count) { return KeptFolder(o, bench, count, &PrescriptionFolder); }

// The data folder of the filtered lists and reports (FilteredFolder), shared by the benchmarks.
inline std::string FilteredFolderOf(const Options& o, int count) { return KeptFolder(o, "filtered-readers", count, &FilteredFolder); }

// Turns the GUI's event loop until `done`; false (said on stderr) after the time-out.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(600)) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    std::fprintf(stderr, "benchmark: timed out\n");
    return false;
}

// Until every task thread waits for input and the GUI has applied all they sent before.
inline bool Settle() {
    return WaitFor([] {
        if (wnd::Activity::Busy() != 0) return false;
        const std::uint64_t starts = wnd::Activity::Starts();
        QCoreApplication::processEvents();  // what they sent last; it may give a thread new work
        return wnd::Activity::Busy() == 0 && wnd::Activity::Starts() == starts;
    });
}

// Widgets closed are deleted later; memory is measured after they are.
inline void DeleteClosedWidgets() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// The program on the Qt presenter: its first thread on a thread of its own, the GUI on this one,
// from the frame's menu item `menuItem` shown until every window is asked to close.
class QtProgram {
public:
    QtProgram(qtp::Screen& screen, const char* menuItem) : screen_(screen) {
        pictures::AddProgramPictures();  // the frame paints its wallpaper, as in the program
        thread_ = std::thread([this] {
            wnd::ThisThreadQueue();
            shell::ProgramMain();
            done_ = true;
        });
        WaitFor([this, menuItem] { return Action(Frame(), menuItem) != nullptr; });
        Settle();
        DeleteClosedWidgets();
        threads_ = rt::LiveTaskThreads();
    }
    ~QtProgram() {
        // A close round over every window, as at the program's end.
        wnd::CloseOtherWindows({}, false);
        WaitFor([this] { return done_.load(); });
        thread_.join();
        wnd::StopClosingWindows();
    }
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    qtp::Screen& screen() const { return screen_; }
    wnd::WindowId Frame() const { return screen_.Find("Main"); }
    QAction* Action(wnd::WindowId id, const char* use) const { return id ? screen_.MenuAction(id, use) : nullptr; }
    QWidget* Control(const char* window, const char* use) const {
        const wnd::WindowId id = screen_.Find(window);
        return id ? screen_.ControlWidget(id, use) : nullptr;
    }
    // Paints the frame and every window in it now, as the screen would show them.
    void Paint() const { screen_.Frame()->repaint(); }
    // Settled, then painted: where a step the user waits for ends.
    void SettleAndPaint() const {
        Settle();
        Paint();
    }
    // The windows `gone` closed and their threads ended.
    void Idle(const char* gone) {
        WaitFor([this, gone] { return screen_.Find(gone) == 0 && rt::LiveTaskThreads() <= threads_; });
        DeleteClosedWidgets();
    }

private:
    qtp::Screen& screen_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::size_t threads_ = 0;
};

}  // namespace bench
