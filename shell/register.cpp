#include "shell/register.h"

#include "shell/about_donation.h"
#include "shell/main_frame.h"
#include "shell/procedure_registry.h"
#include "shell/useful_links.h"

namespace shell {

void RegisterShellProcedures() {
    RegisterShellLayouts();
    RegisterProcedure("about", &about);
    RegisterProcedure("donation", &donation);
    RegisterProcedure("links", &links);
}

}  // namespace shell
