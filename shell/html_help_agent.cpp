#include "shell/html_help_agent.h"

#include <algorithm>

#include "platform/runtime/codepage.h"
#include "platform/window/desktop.h"
#include "platform/window/window_system.h"

namespace shell {
namespace {

using C = wnd::HelpRequest::Command;

std::string taken(std::string_view text, std::size_t limit) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text.substr(0, limit));
}

}  // namespace

bool HtmlHelpAgent::AttachHelpFile(std::string_view file, wnd::KeyCode helpKey) {
    attached_ = false;
    file_ = taken(file, kNameLimit);
    if (helpKey == wnd::kKeyF1) {
        wnd::Message(kF1Refused, "Stop", wnd::MessageIcon::Hand);
        return false;
    }
    helpKey_ = helpKey;
    window_.AddAlias(wnd::kKeyF1, helpKey);
    window_.AlertWindowKey(helpKey);
    topics_.clear();
    attached_ = true;
    return true;
}

void HtmlHelpAgent::DetachHelpFile() {
    // F1 stays an alias of the help key on this window, which is closing: the aliases belong to
    // each window, so the other windows keep theirs.
    if (!attached_) return;
    attached_ = false;
    topics_.clear();
}

void HtmlHelpAgent::SetProcedureTopic(std::string_view topic) {
    if (attached_) procedureTopic_ = taken(topic, kNameLimit);
}

void HtmlHelpAgent::SetControlTopic(int control, std::string_view topic) {
    if (!attached_) return;
    for (auto& [c, t] : topics_)
        if (c == control) {
            t = taken(topic, kNameLimit);
            return;
        }
    topics_.emplace_back(control, taken(topic, kNameLimit));
}

std::string HtmlHelpAgent::controlTopic(int control) const {
    for (const auto& [c, t] : topics_)
        if (c == control) return t;
    return "";
}

void HtmlHelpAgent::Send(wnd::HelpRequest::Command command, std::string topic, std::string keyword) const {
    wnd::HelpRequest r;
    r.command = command;
    r.file = rt::cp1252ToUtf8(file_);
    r.topic = rt::cp1252ToUtf8(topic);
    r.keyword = rt::cp1252ToUtf8(keyword);
    wnd::ShowHelp(r);
}

void HtmlHelpAgent::ShowHelpTopic(std::string_view topic, bool useProcedureTopic) {
    if (!usable()) return;
    // The target names the file and, after "::/", the page; cut as a whole.
    std::string target = file_;
    if (!useProcedureTopic) target += "::/" + taken(topic, kNameLimit);
    else if (!procedureTopic_.empty()) target += "::/" + procedureTopic_;
    target.resize(std::min(target.size(), kTargetLimit));
    const std::size_t sep = target.find("::/", file_.size());
    Send(C::Topic, sep == std::string::npos ? "" : target.substr(sep + 3), "");
}

void HtmlHelpAgent::ShowControlHelp(int control) {
    if (!usable()) return;
    for (const auto& [c, t] : topics_)
        if (c == control) return ShowHelpTopic(t, false);
    if (procedureTopic_.empty()) ShowHelpContents();
    else ShowHelpTopic(procedureTopic_, false);
}

void HtmlHelpAgent::ShowHelpContents() {
    if (usable()) Send(C::Contents, "", "");
}

void HtmlHelpAgent::ShowHelpIndex(std::string_view keyword, bool noKeyword) {
    if (usable())
        Send(C::Index, "", noKeyword ? "" : taken(keyword, kKeywordLimit));
}

void HtmlHelpAgent::ShowHelpSearch() {
    if (usable()) Send(C::Search, "", "");
}

void HtmlHelpAgent::LookupHelpKeyword(std::string_view keyword) {
    if (attached_) Send(C::Keyword, procedureTopic_, taken(keyword, kKeywordLimit));
}

void HtmlHelpAgent::OnHelpKey() {
    if (!usable() || window_.event() != wnd::Event::AlertKey) return;
    const wnd::KeyCode key = window_.keyCode();
    if (key == helpKey_ || key == wnd::kKeyF1) ShowControlHelp(window_.focus());
}

}  // namespace shell
