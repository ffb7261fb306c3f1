#include "shell/run_application.h"

#include <atomic>
#include <mutex>

#include "data/dictionary.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "globals/program_end.h"
#include "platform/classes/lock_wait_notice.h"
#include "platform/classes/migration_notice.h"
#include "platform/runtime/desktop_settings.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/program_services.h"
#include "platform/runtime/threads.h"
#include "platform/window/window_system.h"

namespace shell {
namespace {

std::mutex gFrameMutex;
std::function<void()> gFrame;

// The drag setting as the desktop reported it at start-up.
std::atomic<long> AppDragFullWindows{0};

void threadDataStart() {
    globals::ThreadErrorState = std::make_unique<cls::ErrorState>();
    globals::CallRequest = 0;
    globals::CallResponse = 0;
    globals::NavigationRequest = 0;
    OnThreadStart();
}

void threadDataEnd() {
    OnThreadEnd();
    globals::ThreadErrorState.reset();
}

void releaseThreadInstances() {
    data::ReleaseThreadFiles();
    rt::UnbindAll();
}

}  // namespace

void SetFrameProcedure(std::function<void()> frame) {
    std::lock_guard lock(gFrameMutex);
    gFrame = std::move(frame);
}

void OnThreadStart() {
    if (rt::CurrentThreadNumber() != 1) data::DictionarySetUp();
}

void OnThreadEnd() { data::DictionaryTearDown(); }

void InstallThreadHooks() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::SetThreadHooks(&threadDataStart, &threadDataEnd);
        rt::RegisterThreadEndStep(&releaseThreadInstances);
    });
}

void RunApplication() {
    globals::ResetProgramEnd();
    // 1. First use of thread 1's data: its per-thread start.
    rt::TouchThreadData();
    // 2. The help file, without showing a topic.
    rt::SetHelpFile(kHelpFile);
    // 3. The reporter keeps each thread's details in that thread's own state.
    globals::AppErrors().Init(globals::ThreadErrorState.get(), [] { return globals::ThreadErrorState.get(); });
    cls::ShowLockWaitsInStatus();
    cls::ShowMigrationProgress();
    // 4. Words match ignoring case, not only as whole words.
    globals::AppWordMatcher().Init();
    globals::AppWordMatcher().SetOption(cls::WordMatcher::kIgnoreCase, true);
    globals::AppWordMatcher().SetOption(cls::WordMatcher::kWholeWords, false);
    // 5. Settings under the program's name.
    globals::AppSettings().Init("Prescripts", cls::SettingsStore::Kind::Registry, cls::SettingsStore::Root::ClassesRoot);
    // 6. Thread 1's table objects.
    data::DictionarySetUp();
    // 7. The program's icon.
    rt::SetProgramIcon("rx.ico");
    // 8. Dragging shows outlines while the program runs, if it showed contents.
    long drag = 0;
    if (!rt::Desktop().Get(rt::kGetDragFullWindows, &drag)) drag = 0;
    AppDragFullWindows = drag;
    if (AppDragFullWindows == 1) rt::Desktop().Set(rt::kSetDragFullWindows, 0, rt::kUpdateProfileAndBroadcast);
    // 9. The frame, until the user closes it.
    std::function<void()> frame;
    {
        std::lock_guard lock(gFrameMutex);
        frame = gFrame;
    }
    if (frame) frame();
    // Every window started on a thread of its own finishes its writes before anything is torn
    // down; one that a thread still opens now is closed at once, so none stays without the frame.
    wnd::CloseOtherWindows({}, true);
    rt::WaitForTaskThreads();
    wnd::StopClosingWindows();
    // 10. Full-window dragging again, if it was on.
    if (AppDragFullWindows == 1) rt::Desktop().Set(rt::kSetDragFullWindows, 1, rt::kUpdateProfileAndBroadcast);
    // 11. The settings store writes back its bookkeeping.
    globals::AppSettings().TearDown();
    // 12. The word matcher's tear-down does nothing.
    globals::AppWordMatcher().TearDown();
}

void LoadProgram() {
    globals::DISCLAIMER().set("");
    globals::personname().set("");
    InstallThreadHooks();
    rt::BeginProgram();
}

int ProgramMain() {
    LoadProgram();
    RunApplication();
    // Thread 1's data ends after RunApplication: its tables are torn down and released.
    rt::EndThreadData();
    return globals::ExitCode();
}

}  // namespace shell
