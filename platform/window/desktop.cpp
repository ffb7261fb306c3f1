#include "platform/window/desktop.h"

#include <string>

#include "platform/runtime/codepage.h"
#include "platform/runtime/program_services.h"
#include "platform/window/window_system.h"

namespace wnd {

void ShowHelp(const HelpRequest& request) {
    if (auto p = CurrentPresenter()) p->ShowHelp(request);
}

void ShowHelpTopic(std::string_view topic) {
    HelpRequest r;
    r.command = HelpRequest::Command::Topic;
    r.file = rt::HelpFile();
    r.topic = rt::cp1252ToUtf8(topic);
    ShowHelp(r);
}

void OpenDocument(std::string_view urlOrPath) {
    if (auto p = CurrentPresenter()) p->OpenDocument(rt::cp1252ToUtf8(urlOrPath));
}

void SetClipboardText(std::string_view text) {
    if (auto p = CurrentPresenter()) p->SetClipboardText(rt::cp1252ToUtf8(text));
}

}  // namespace wnd
