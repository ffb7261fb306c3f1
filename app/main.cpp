#include <cstdio>

#include "shell/run_application.h"

int main() {
    // The frame (shell::Main) needs a presenter that shows windows; until the Qt presenter is in,
    // the program reports that and returns at once. With it: shell::ShowMessagesInWindows(), then
    // SetFrameProcedure(&shell::Main) and ProgramMain on thread 1 beside the presenter's loop.
    shell::SetFrameProcedure([] { std::puts("prescripts: no window presenter is built yet; nothing to show."); });
    return shell::ProgramMain();
}
