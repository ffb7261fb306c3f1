#include "globals/program_end.h"

#include <mutex>

#include "globals/globals.h"

namespace globals {
namespace {

struct EndState {
    std::mutex mutex;
    bool ending = false;
    int code = 0;
    wnd::WindowHandle frame;
};

EndState& endState() {
    static EndState s;
    return s;
}

}  // namespace

void EndProgram(int exitCode) {
    EndState& s = endState();
    wnd::WindowHandle frame;
    {
        std::lock_guard lock(s.mutex);
        s.ending = true;
        if (s.code == 0) s.code = exitCode;
        frame = s.frame;
    }
    // A forced round: windows are closed without asking whether their changes may be lost.
    if (frame.id != 0) wnd::CloseOtherWindows(frame, true);
}

bool ProgramEnding() {
    EndState& s = endState();
    std::lock_guard lock(s.mutex);
    return s.ending;
}

int ExitCode() {
    EndState& s = endState();
    std::lock_guard lock(s.mutex);
    return s.code;
}

void SetFrameWindow(const wnd::WindowHandle& frame) {
    EndState& s = endState();
    std::lock_guard lock(s.mutex);
    s.frame = frame;
}

void ResetProgramEnd() {
    AppErrors().SetSilent(false);
    EndState& s = endState();
    std::lock_guard lock(s.mutex);
    s.ending = false;
    s.code = 0;
    s.frame = {};
}

}  // namespace globals
