// Start-up to an idle frame, with an empty prescriptions file and with 100 000 prescriptions (the
// refill check reads them all: none falls due). Runs the program as a user would, on the headless
// presenter, and reports the median of several starts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/prescription_fill.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/globals.h"
#include "shell/main_frame.h"
#include "shell/run_application.h"

namespace {

double startOnce(const std::shared_ptr<hl::HeadlessPresenter>& presenter) {
    hl::ScriptedUser user(presenter);
    const auto t0 = std::chrono::steady_clock::now();
    wnd::Activity::Enter();
    std::thread program([] {
        wnd::ThisThreadQueue();
        wnd::Activity::Leave();
        shell::ProgramMain();
    });
    user.Find("Main");  // returns once the frame is open and idle
    const auto t1 = std::chrono::steady_clock::now();
    wnd::PostToAllWindows(wnd::Event::CloseDown);
    program.join();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

}  // namespace

int main() {
    shell::RegisterShellLayouts();
    auto presenter = std::make_shared<hl::HeadlessPresenter>();
    wnd::SetPresenter(presenter);
    shell::SetFrameProcedure(&shell::Main);
    for (int count : {0, 100000}) {
        const std::string dir = "/tmp/prescripts-startup-bench-" + std::to_string(count);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        files::SetDataFolder(dir);
        if (count > 0) bench::FillPrescriptions(count);
        std::vector<double> times;
        for (int run = 0; run < 7; ++run) times.push_back(startOnce(presenter));
        std::sort(times.begin(), times.end());
        std::printf("start-up to an idle frame, %6d prescriptions: median %.1f ms (min %.1f, max %.1f)\n", count,
                    times[times.size() / 2], times.front(), times.back());
        std::filesystem::remove_all(dir);
    }
    wnd::SetPresenter(nullptr);
    return 0;
}
