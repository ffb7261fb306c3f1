#pragma once
// Layouts made in code, for the platform's own small windows (the date chooser, the list-format
// windows), which have no stored resource.
#include <string>

#include "platform/window/layout.h"

namespace wnd {

// A plain window of the platform's own, without controls yet.
WindowLayout MakePlainWindow(std::string procedure, std::string label, std::string caption, Rect at);
LayoutControl MakeControl(ControlKind kind, std::string use, std::string text, Rect at);
// Numbers the controls 1..n in the order they stand.
void NumberControls(WindowLayout& layout);

}  // namespace wnd
