#include "health/browse_person.h"
#include "health/register.h"
#include "health/update_persons_name.h"
#include "shell/procedure_registry.h"

namespace health {

void RegisterPeopleProcedures() {
    shell::RegisterProcedure("BrowsePerson", &BrowsePerson);
    shell::RegisterProcedure("UpdatePersonsName", &UpdatePersonsName);
}

}  // namespace health
