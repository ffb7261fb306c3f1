#include "shell/procedure_services.h"

#include "globals/globals.h"
#include "platform/window/window_system.h"
#include "shell/enter_key_navigator.h"
#include "shell/html_help_agent.h"
#include "shell/run_application.h"

namespace shell {

cls::ProcedureServices ServicesHere() {
    cls::ProcedureServices s;
    s.errors = &globals::AppErrors();
    s.callRequest = &globals::CallRequest;
    s.callResponse = &globals::CallResponse;
    s.navigationRequest = &globals::NavigationRequest;
    s.helpFile = kHelpFile;
    s.makeNavigator = [] { return std::make_unique<EnterKeyNavigator>(); };
    s.makeHelpAgent = [](wnd::Window& window) { return std::make_unique<HtmlHelpAgent>(window); };
    return s;
}

void ShowMessagesInWindows() {
    globals::AppErrors().SetPresenter([](const cls::MessageBoxRequest& r) {
        // The two button and icon sets are the same values.
        return wnd::Message(r.text, r.caption, static_cast<wnd::MessageIcon>(r.icon), r.buttons, r.defaultButton);
    });
}

}  // namespace shell
