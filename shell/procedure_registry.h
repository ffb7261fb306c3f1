#pragma once
// The window procedures the program's menus and buttons can start, by name. A procedure that is
// not registered cannot be started: the controls that would start it stay disabled.
#include <functional>
#include <string_view>

namespace shell {

using WindowProcedure = std::function<void()>;

// Replaces any procedure of that name; an empty procedure removes it.
void RegisterProcedure(std::string_view name, WindowProcedure procedure);
// Empty when none is registered under the name (any case).
WindowProcedure FindProcedure(std::string_view name);

}  // namespace shell
