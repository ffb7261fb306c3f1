#pragma once
// The whole program for a benchmark, as the tests run it: its windows registered, the headless
// presenter in place, thread 1 running the program until every window is asked to close.
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/headless/headless_presenter.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "health/register.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/run_application.h"

namespace bench {

// The presenter the benchmark's scripted user acts on; null (said on stderr) when a layout is not sound.
inline std::shared_ptr<hl::HeadlessPresenter> PrepareProgram() {
    shell::InstallThreadHooks();
    std::string error;
    if (!shell::RegisterShellLayouts() || !prescriptions::RegisterPrescriptionProcedures(&error) ||
        !health::RegisterHealthProcedures(&error)) {
        std::fprintf(stderr, "the program's layouts: %s\n", error.c_str());
        return nullptr;
    }
    auto presenter = std::make_shared<hl::HeadlessPresenter>();
    wnd::SetPresenter(presenter);
    shell::SetFrameProcedure(&shell::Main);
    return presenter;
}

// The program from construction to destruction (its data folder set before).
class RunningProgram {
public:
    RunningProgram() {
        wnd::Activity::Enter();  // at work from here, so the first idle wait finds the frame open
        thread_ = std::thread([] {
            wnd::ThisThreadQueue();
            wnd::Activity::Leave();
            shell::ProgramMain();
        });
    }
    ~RunningProgram() {
        // A close round over every window, as at the program's end.
        wnd::CloseOtherWindows({}, false);
        thread_.join();
        wnd::StopClosingWindows();
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

private:
    std::thread thread_;
};

}  // namespace bench
