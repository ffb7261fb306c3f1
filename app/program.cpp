#include "app/program.h"

#include "globals/program_end.h"
#include "health/register.h"
#include "pictures/program_pictures.h"
#include "platform/qt/qt_presenter.h"
#include "prescriptions/register.h"
#include "shell/main_frame.h"
#include "shell/procedure_services.h"
#include "shell/run_application.h"

namespace app {

int RunProgram(int argc, char** argv) {
    shell::ShowMessagesInWindows();
    pictures::AddProgramPictures();
    prescriptions::RegisterPrescriptionProcedures();
    health::RegisterHealthProcedures();
    shell::SetFrameProcedure(&shell::Main);
    shell::LoadProgram();
    const int rc = qtp::RunPresenter(argc, argv, [] { shell::RunApplication(); }, 50000);
    return rc != 0 ? rc : globals::ExitCode();
}

}  // namespace app
