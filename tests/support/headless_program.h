#pragma once
// The whole program run as a user meets it, on the headless presenter: ProgramMain on a thread of
// its own (thread 1), the frame found once it is idle, and an end that asks every window to close.
#include <atomic>
#include <thread>

#include "platform/files/table_file.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/run_application.h"
#include "support/close_all_windows.h"
#include "support/open_or_create.h"

namespace testing_support {

class HeadlessProgram {
public:
    explicit HeadlessProgram(hl::ScriptedUser& user) : user_(user) {}
    ~HeadlessProgram() { Stop(); }
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    // Starts the program; returns its frame once the frame is open and idle.
    hl::UserWindow Start() {
        ended_ = false;
        exitCode_ = -1;
        wnd::Activity::Enter();  // at work from here, so the first idle wait finds the frame open
        thread_ = std::thread([this] {
            wnd::ThisThreadQueue();
            wnd::Activity::Leave();
            exitCode_ = shell::ProgramMain();
            ended_ = true;
        });
        return user_.Find("Main");
    }
    // Waits for the program to end by itself (after its frame was closed).
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    // Asks every window to close (a form still asking is told Yes) and waits for the end.
    void Stop() {
        if (!thread_.joinable()) return;
        CloseAllWindows([this] {
            while (user_.HasMessage()) user_.Answer(wnd::kButtonYes);
            thread_.join();
        });
    }
    bool running() const { return thread_.joinable(); }
    bool ended() const { return ended_; }
    // What ProgramMain returned (-1 before it has).
    int exitCode() const { return exitCode_; }

private:
    hl::ScriptedUser& user_;
    std::thread thread_;
    std::atomic<bool> ended_{false};
    std::atomic<int> exitCode_{-1};
};

}  // namespace testing_support
