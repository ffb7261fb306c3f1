// The prescription list at 1 000, 100 000 and 1 000 000 prescriptions, driven as a user drives it
// on the headless presenter: open it from the frame, press End, Page Up ten times, switch through
// the four tabs. Each step is timed from the user's action until every task thread is idle again;
// the median of several runs is reported. Only the visible page is read, so no step should grow
// with the table, except what adds up the whole table (the total of active costs).
//
// The data folders are made once under /tmp and reused (list_bench --fresh makes them again).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_program.h"
#include "bench/prescription_fill.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "prescriptions/register.h"
#include "shell/globals.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"

namespace {

using Clock = std::chrono::steady_clock;

void fill(const std::string& dir, int count) {
    const auto t0 = Clock::now();
    if (bench::PrescriptionFolder(dir, count))
        std::printf("  (made %d prescriptions in %.1f s)\n", count, std::chrono::duration<double>(Clock::now() - t0).count());
}

double timed(const std::function<void()>& step) {
    const auto t0 = Clock::now();
    step();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Steps {
    std::map<std::string, std::vector<double>> ms;
    std::vector<std::string> order;
    void add(const std::string& name, double v) {
        if (!ms.count(name)) order.push_back(name);
        ms[name].push_back(v);
    }
};

void runOnce(hl::ScriptedUser& user, Steps& steps) {
    auto frame = user.Find("Main");
    steps.add("open the list", timed([&] {
        frame.Press("?BROWSEPRESCRIPTS");
        user.Find("BrowsePrescripts");
    }));
    auto list = user.Find("BrowsePrescripts");
    list.Click("?BROWSE:1");
    steps.add("End", timed([&] { list.PressKey(wnd::kKeyEnd); }));
    double pages = 0;
    for (int i = 0; i < 10; ++i) pages += timed([&] { list.PressKey(wnd::kKeyPageUp); });
    steps.add("Page Up (mean of 10)", pages / 10);
    for (const char* tab : {"?TAB:3", "?TAB:4", "?TAB:5", "?TAB:2"})
        steps.add(std::string("tab ") + tab, timed([&] { list.ChooseTab(tab); }));
    if (list.Rows("?BROWSE:1").empty()) std::abort();
    list.Press("?CLOSE");
    user.WaitIdle();
}

}  // namespace

int main(int argc, char** argv) {
    const bool fresh = argc > 1 && std::strcmp(argv[1], "--fresh") == 0;
    auto presenter = bench::PrepareProgram();
    if (!presenter) return 1;
    for (int count : {1000, 100000, 1000000}) {
        const std::string dir = "/tmp/prescripts-list-bench-" + std::to_string(count);
        if (fresh) std::filesystem::remove_all(dir);
        std::printf("%d prescriptions\n", count);
        fill(dir, count);
        files::SetDataFolder(dir);
        hl::ScriptedUser user(presenter, std::chrono::minutes(5));
        Steps steps;
        {
            bench::RunningProgram program;
            for (int run = 0; run < 5; ++run) runOnce(user, steps);
        }
        for (const std::string& name : steps.order) {
            auto v = steps.ms[name];
            std::sort(v.begin(), v.end());
            std::printf("  %-22s median %8.2f ms  (min %8.2f, max %8.2f)\n", name.c_str(), v[v.size() / 2], v.front(), v.back());
        }
    }
    wnd::SetPresenter(nullptr);
    return 0;
}
