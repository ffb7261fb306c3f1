// The program: the frame and its windows on the Qt presenter. The presenter owns the process's
// main thread; the program's first thread runs the start-up and the frame.
#include "platform/qt/qt_presenter.h"
#include "health/register.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_services.h"
#include "shell/program_end.h"
#include "shell/run_application.h"

int main(int argc, char** argv) {
    shell::ShowMessagesInWindows();
    prescriptions::RegisterPrescriptionProcedures();
    health::RegisterHealthProcedures();
    shell::SetFrameProcedure(&shell::Main);
    shell::LoadProgram();
    const int rc = qtp::RunPresenter(argc, argv, [] { shell::RunApplication(); }, 50000);
    return rc != 0 ? rc : shell::ExitCode();
}
