#include "health/register.h"

namespace health {

void RegisterPeopleProcedures() {}

}  // namespace health
