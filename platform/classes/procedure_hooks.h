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
    // An explicit pair in place of the tab order: Tab on `control` goes to `next`, Shift+Tab on
    // `next` back to `control`. Added before ArmKeys; the first pair for a control wins.
    virtual void AddNextTabStop(int control, int next) = 0;
    // Arms the navigator's keys on the window (after every other key, so its keys win).
    virtual void ArmKeys(wnd::Window& window, int option) = 0;
    // The window's current event is an alert key: true when the navigator consumed it.
    virtual bool HandleAlertKey(wnd::Window& window) = 0;
};

class HelpAgent {
public:
    virtual ~HelpAgent() = default;
    // False when the agent refuses the key (it then stays unattached and does nothing).
    virtual bool AttachHelpFile(std::string_view file, wnd::KeyCode helpKey) = 0;
    virtual void DetachHelpFile() = 0;
    virtual void SetProcedureTopic(std::string_view topic) = 0;
    virtual void SetControlTopic(int control, std::string_view topic) = 0;
    // The page `topic`; with useProcedureTopic the procedure's page instead (the file's opening
    // page when the window names none).
    virtual void ShowHelpTopic(std::string_view topic, bool useProcedureTopic) = 0;
    void ShowProcedureTopic() { ShowHelpTopic("", true); }
    // The control's page, else the procedure's, else the table of contents.
    virtual void ShowControlHelp(int control) = 0;
    virtual void ShowHelpIndex() = 0;
    virtual void ShowHelpSearch() = 0;
    virtual void ShowHelpContents() = 0;
    virtual void LookupHelpKeyword(std::string_view keyword) = 0;
    // The window's current event is an alert key: the help key, or F1, shows the page of the
    // control that has the focus. The event is never consumed.
    virtual void OnHelpKey() = 0;
};

inline constexpr wnd::KeyCode kHelpKey = 0x7B;  // F12

}  // namespace cls
