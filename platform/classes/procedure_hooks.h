#pragma once
// Where the per-window Enter-key navigator and help agent attach. The program supplies them
// through ProcedureServices; while it supplies none, windows run without them.
#include <string_view>

#include "platform/window/keys.h"

namespace wnd {
class Window;
}

namespace cls {

class KeyNavigator {
public:
    virtual ~KeyNavigator() = default;
    // Arms the navigator's keys on the window (after every other key, so its keys win).
    virtual void ArmKeys(wnd::Window& window, int option) = 0;
    // The window's current event is an alert key: true when the navigator moved the focus for it.
    virtual bool HandleAlertKey(wnd::Window& window) = 0;
};

class HelpAgent {
public:
    virtual ~HelpAgent() = default;
    virtual void AttachHelpFile(std::string_view file, wnd::KeyCode helpKey) = 0;
    virtual void DetachHelpFile() = 0;
    virtual void SetProcedureTopic(std::string_view topic) = 0;
    virtual void SetControlTopic(int control, std::string_view topic) = 0;
    virtual void ShowProcedureTopic() = 0;
    virtual void ShowHelpIndex() = 0;
    virtual void ShowHelpSearch() = 0;
    virtual void ShowHelpContents() = 0;
    virtual void LookupHelpKeyword(std::string_view keyword) = 0;
};

inline constexpr wnd::KeyCode kHelpKey = 0x7B;  // F12

}  // namespace cls
