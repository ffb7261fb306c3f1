#pragma once
// What every window procedure of the program is handed: AppErrors, the calling thread's request,
// response and navigation cells, the help file, and the makers of its Enter-key navigator and help
// agent.
#include "platform/classes/window_procedure.h"

namespace shell {

// Call on the procedure's own thread: the cells are that thread's.
cls::ProcedureServices ServicesHere();

// Message boxes of AppErrors appear as the window layer's message boxes.
void ShowMessagesInWindows();

}  // namespace shell
