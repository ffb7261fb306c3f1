#include "health/register.h"

namespace health {

void RegisterReadingProcedures() {}

}  // namespace health
