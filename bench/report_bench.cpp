// The all-prescriptions report at 1 000, 10 000 and 100 000 prescriptions, run as a user runs it on
// the headless presenter: chosen from the frame's menu, timed until its preview is open (the
// progress window's timer-driven loop has read every record and laid out every page), then left.
// Reported: the median of three runs, records per second, pages, and the process's peak resident
// memory after the largest run.
//
// The data folders are made once under /tmp and reused (report_bench --fresh makes them again).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_program.h"
#include "bench/prescription_fill.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"

namespace {

using Clock = std::chrono::steady_clock;

long peakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const bool fresh = argc > 1 && std::strcmp(argv[1], "--fresh") == 0;
    auto presenter = bench::PrepareProgram();
    if (!presenter) return 1;
    for (int count : {1000, 10000, 100000}) {
        const std::string dir = "/tmp/prescripts-report-bench-" + std::to_string(count);
        if (fresh) std::filesystem::remove_all(dir);
        bench::PrescriptionFolder(dir, count);
        files::SetDataFolder(dir);
        hl::ScriptedUser user(presenter, std::chrono::minutes(10));
        std::vector<double> seconds;
        std::size_t pages = 0;
        {
            bench::RunningProgram program;
            auto frame = user.Find("Main");
            for (int run = 0; run < 3; ++run) {
                const auto t0 = Clock::now();
                frame.Press("?REPORTPRESCRIPTS");
                auto preview = user.Find("Report Preview");
                seconds.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
                pages = preview.Pages("?PAGES")->pages.size();
                preview.Press("?EXIT");
                user.WaitIdle();
            }
        }
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds[1];
        std::printf("%7d prescriptions: report to preview median %7.3f s (min %.3f, max %.3f), %8.0f records/s, %zu pages\n",
                    count, median, seconds.front(), seconds.back(), count / median, pages);
    }
    std::printf("peak resident memory: %.1f MiB\n", peakKilobytes() / 1024.0);
    wnd::SetPresenter(nullptr);
    return 0;
}
