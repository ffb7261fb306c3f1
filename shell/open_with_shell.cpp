#include "shell/open_with_shell.h"

#include "platform/window/desktop.h"

namespace shell {

void OpenWithShell(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return;
    wnd::OpenDocument(text.substr(0, kShellTextLimit));
}

}  // namespace shell
