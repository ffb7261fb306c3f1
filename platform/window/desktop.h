#pragma once
// What a task asks of the desktop through the presenter: help pages, web pages and documents, the
// clipboard. Each returns at once; nothing is reported when the desktop cannot do it. Texts are
// single-byte (Windows-1252), as the task side holds them.
#include <string_view>

#include "platform/window/presenter.h"

namespace wnd {

void ShowHelp(const HelpRequest& request);  // texts here already UTF-8
// A topic of the program's current help file (rt::HelpFile()), as a help request without a file
// name asks for it.
void ShowHelpTopic(std::string_view topic);
void OpenDocument(std::string_view urlOrPath);
void SetClipboardText(std::string_view text);

}  // namespace wnd
