#include "shell/procedure_registry.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>

namespace shell {
namespace {

std::string folded(std::string_view name) {
    std::string s(name);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, WindowProcedure> procedures;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

void RegisterProcedure(std::string_view name, WindowProcedure procedure) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (procedure) r.procedures[folded(name)] = std::move(procedure);
    else r.procedures.erase(folded(name));
}

WindowProcedure FindProcedure(std::string_view name) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.procedures.find(folded(name));
    return it == r.procedures.end() ? WindowProcedure{} : it->second;
}

}  // namespace shell
