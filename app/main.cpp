#include <cstdio>

#include "shell/run_application.h"

int main() {
    // The window layer is not built yet: the frame procedure reports that and returns at once.
    shell::SetFrameProcedure([] { std::puts("prescripts: the window layer is not built yet; nothing to show."); });
    return shell::ProgramMain();
}
