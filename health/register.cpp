#include "health/register.h"

#include <mutex>

bool RegisterHealthLayoutResources(std::string* error);

namespace health {

bool RegisterHealthProcedures(std::string* error) {
    static std::once_flag once;
    static bool ok = false;
    static std::string why;
    std::call_once(once, [] { ok = RegisterHealthLayoutResources(&why); });
    if (!ok) {
        if (error) *error = why;
        return false;
    }
    RegisterPeopleProcedures();
    RegisterReadingProcedures();
    return true;
}

}  // namespace health
