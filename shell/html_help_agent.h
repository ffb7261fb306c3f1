#pragma once
// The help agent every window procedure creates: it attaches the window to the program's help file
// with a help key (F12; F1 acts as the same key), names the procedure's page and pages of single
// controls, and shows them: the help key shows the focused control's page, else the procedure's,
// else the table of contents. It also serves the window's Help button and the frame's help menu
// (contents, index, search, keyword lookup). Pages are shown by the presenter's help viewer.
//
// Before AttachHelpFile succeeds, and after DetachHelpFile, every operation does nothing. Texts
// are taken without their trailing blanks and cut to the lengths below.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/classes/procedure_hooks.h"
#include "platform/window/window.h"

namespace shell {

class HtmlHelpAgent final : public cls::HelpAgent {
public:
    static constexpr std::size_t kNameLimit = 255;     // file and topics
    static constexpr std::size_t kKeywordLimit = 127;
    static constexpr std::size_t kTargetLimit = 511;   // "file::/topic"
    static constexpr const char* kF1Refused = "HTML Help Cannot use the F1Key as it's Aliased KEY!";

    explicit HtmlHelpAgent(wnd::Window& window) : window_(window) {}

    // F1 cannot be the help key, since F1 is made to act as the help key: the stop message, and
    // the agent stays unattached.
    bool AttachHelpFile(std::string_view file, wnd::KeyCode helpKey) override;
    void DetachHelpFile() override;
    void SetProcedureTopic(std::string_view topic) override;
    void SetControlTopic(int control, std::string_view topic) override;
    void ShowHelpTopic(std::string_view topic, bool useProcedureTopic) override;
    void ShowControlHelp(int control) override;
    void ShowHelpContents() override;
    void ShowHelpIndex() override { ShowHelpIndex("", true); }
    void ShowHelpIndex(std::string_view keyword, bool noKeyword);
    void ShowHelpSearch() override;
    // The pages the index lists under the keyword; when it lists none, the procedure's page and
    // the index at the keyword.
    void LookupHelpKeyword(std::string_view keyword) override;
    void OnHelpKey() override;

    bool attached() const { return attached_; }
    const std::string& procedureTopic() const { return procedureTopic_; }
    std::string controlTopic(int control) const;  // "" when it has none

private:
    bool usable() const { return attached_ && !file_.empty(); }
    void Send(wnd::HelpRequest::Command command, std::string topic, std::string keyword) const;

    wnd::Window& window_;
    std::string procedureTopic_;
    std::vector<std::pair<std::int32_t, std::string>> topics_;  // control topics, in the order first set
    std::string file_;
    wnd::KeyCode helpKey_ = 0;
    bool attached_ = false;
};

}  // namespace shell
