#include "platform/window/layout_builder.h"

namespace wnd {

WindowLayout MakePlainWindow(std::string procedure, std::string label, std::string caption, Rect at) {
    WindowLayout l;
    l.window.procedure = std::move(procedure);
    l.window.label = std::move(label);
    l.window.caption = std::move(caption);
    l.window.kind = WindowKind::Plain;
    l.window.at = at;
    return l;
}

LayoutControl MakeControl(ControlKind kind, std::string use, std::string text, Rect at) {
    LayoutControl c;
    c.state.kind = kind;
    c.state.use = std::move(use);
    c.state.text = std::move(text);
    c.state.at = at;
    return c;
}

void NumberControls(WindowLayout& layout) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i) layout.controls[i].state.number = static_cast<int>(i) + 1;
}

}  // namespace wnd
