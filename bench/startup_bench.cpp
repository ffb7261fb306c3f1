// Start-up as the user waits for it: from just before the program's process is made to the first
// paint of its frame, on the Qt presenter (offscreen unless a display is asked for), with an empty
// prescriptions file and with 100 000 and 1 000 000, none due for a refill (the frame opens
// without the reminders); then the same files with one prescription due, until the reminders
// list the frame opens and waits on is painted with its row. Each start is a process of its own
// running the program as its main() does, with a watch on its paint events; seven starts a figure.
//
//     startup_bench [--fresh] [--data DIR] [size ...]     (default sizes 0 100000 1000000)
//
// One line per figure, `startup_bench <step> <size> <median ms>`, steps:
//   first_paint       the frame painted, nothing due
//   first_paint_due   the reminders list painted with the one due (sizes above 0)
//
// The data folders are made once in DIR (default: the system's temporary folder) and reused
// (--fresh makes them again).
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/program.h"
#include "bench/qt_bench.h"
#include "platform/window/window_system.h"

namespace {

constexpr int kStarts = 7;
constexpr const char* kChild = "--started-program";

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// In the started program: the moment the frame has been painted the first time goes to the pipe
// the bench reads (the steady clock is the system's monotonic clock, the same in both processes),
// then the program is asked to close. With a reminder due the moment waited for is the reminders
// list painted with its row (the only list the frame shows at start-up).
int gReportFd = -1;
bool gUntilReminders = false;

class FirstPaintWatch final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!reported_ && event->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(watched);
            auto* list = w ? qobject_cast<QTreeWidget*>(w->parentWidget()) : nullptr;
            const bool waited = gUntilReminders ? list && list->topLevelItemCount() > 0 : w && qobject_cast<QMainWindow*>(w->window());
            if (waited) {
                reported_ = true;
                // After the paint that this event begins has reached the window.
                QTimer::singleShot(0, [] {
                    const std::string line = std::to_string(steadyNs()) + "\n";
                    if (::write(gReportFd, line.data(), line.size()) < 0) std::perror("startup_bench");
                    ::close(gReportFd);
                    wnd::CloseOtherWindows({}, false);  // the program's end stops the round
                });
            }
        }
        return false;
    }

private:
    bool reported_ = false;
};

// Runs as the application object is made, before the program's first window.
void watchPaints() {
    QCoreApplication::instance()->installEventFilter(new FirstPaintWatch(QCoreApplication::instance()));
}

int runStartedProgram(char* program, int fd, bool untilReminders) {
    gReportFd = fd;
    gUntilReminders = untilReminders;
    qAddPreRoutine(&watchPaints);
    char* args[] = {program, nullptr};
    return app::RunProgram(1, args);
}

// One start in `dir`, ms from before the process was made to the frame's first paint; < 0 failed.
double startOnce(const std::string& exe, const std::string& dir, bool untilReminders) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    // Everything the new process needs is made before it is: between fork and exec it only calls
    // what is safe there.
    const std::string fd = std::to_string(fds[1]);
    const char* args[] = {exe.c_str(), kChild, fd.c_str(), untilReminders ? "reminders" : nullptr, nullptr};
    const std::int64_t t0 = steadyNs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::chdir(dir.c_str()) != 0) ::_exit(127);
        ::execv(exe.c_str(), const_cast<char* const*>(args));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return -1;
    }
    std::string text;
    char buf[64];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    // The program closes itself; one that does not within a minute is ended.
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (text.empty()) return -1;
    return static_cast<double>(std::stoll(text) - t0) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], kChild) == 0) return runStartedProgram(argv[0], std::atoi(argv[2]), argc > 3);
    const bench::Options options = bench::ParseOptions(argc, argv, {0, 100000, 1000000});
    if (options.help) {
        std::printf("usage: startup_bench [--fresh] [--data DIR] [size ...]   (default sizes 0 100000 1000000)\n"
                    "  prints `startup_bench first_paint|first_paint_due <size> <median ms>`\n");
        return 0;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    for (int count : options.sizes) {
        const std::string dir = bench::FilteredFolderOf(options, count);
        for (const bool due : {false, true}) {
            if (due && count == 0) continue;
            if (count > 0) bench::SetReminderDue(dir, due);
            std::vector<double> ms;
            for (int run = 0; run < kStarts; ++run) {
                const double t = startOnce(exe, dir, due);
                if (t < 0) {
                    std::fprintf(stderr, "startup_bench: the program did not paint its %s\n", due ? "reminders" : "frame");
                    return 1;
                }
                ms.push_back(t);
            }
            bench::Figure("startup_bench", due ? "first_paint_due" : "first_paint", count, bench::Median(ms));
        }
    }
    return 0;
}
