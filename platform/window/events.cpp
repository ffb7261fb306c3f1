#include "platform/window/events.h"

namespace wnd {

std::string_view EventName(Event e) {
    switch (e) {
        case Event::None: return "None";
        case Event::Accepted: return "Accepted";
        case Event::NewSelection: return "NewSelection";
        case Event::Selected: return "Selected";
        case Event::Rejected: return "Rejected";
        case Event::AlertKey: return "AlertKey";
        case Event::MouseUp: return "MouseUp";
        case Event::Scrolled: return "Scrolled";
        case Event::Typed: return "Typed";
        case Event::RowsFit: return "RowsFit";
        case Event::OpenWindow: return "OpenWindow";
        case Event::CloseWindow: return "CloseWindow";
        case Event::CloseDown: return "CloseDown";
        case Event::Completed: return "Completed";
        case Event::Timer: return "Timer";
        case Event::Resized: return "Resized";
        case Event::GainFocus: return "GainFocus";
        case Event::LoseFocus: return "LoseFocus";
        case Event::User: return "User";
    }
    return static_cast<int>(e) > static_cast<int>(Event::User) ? "User+" : "?";
}

}  // namespace wnd
