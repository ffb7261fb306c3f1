// The help agent every window gets, driven through the headless presenter, which records the help
// each key and button asks for: the focused control's page, the procedure's, the contents; the
// refused F1 help key; texts cut to their lengths; each window keeping its own F1.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/html_help_agent.h"
#include "shell/procedure_services.h"
#include "shell/run_application.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/task_windows_test.h"

namespace {

using C = wnd::HelpRequest::Command;

constexpr const char* kLayout = R"({"procedure": "TestHelp", "windows": [{
  "label": "P1$WINDOW", "caption": "Help test", "kind": "plain", "at": [200, 80],
  "controls": [
    {"use": "?A", "kind": "entry", "picture": "@s10", "help": "A.htm"},
    {"use": "?B", "kind": "entry", "picture": "@s10"},
    {"use": "?C", "kind": "entry", "picture": "@s10"},
    {"use": "?HELP", "kind": "button", "text": "&Help", "std": "help"}]}]})";

enum class Mode { Topic, NoTopic, RefuseF1, Limits };

struct Probe {
    std::mutex mutex;
    std::vector<std::string> lines;
    void Add(std::string s) {
        std::lock_guard lock(mutex);
        lines.push_back(std::move(s));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex);
        return std::exchange(lines, {});
    }
};

class HelpController final : public cls::ProcedureController {
public:
    HelpController(cls::ProcedureBody& body, Mode mode, Probe& probe) : ProcedureController(body), mode_(mode), probe_(probe) {
        if (mode != Mode::NoTopic) SetHelpTopic("Proc.htm");
        SetHelpButton("?HELP");
    }

protected:
    void SetUpHelp(cls::HelpAgent& agent) override {
        // A second topic for a control replaces the first.
        agent.SetControlTopic(window().Find("?B"), "first.htm");
        agent.SetControlTopic(window().Find("?B"), "second.htm");
        if (mode_ == Mode::RefuseF1) {
            shell::HtmlHelpAgent refused(window());
            probe_.Add(refused.AttachHelpFile(shell::kHelpFile, wnd::kKeyF1) ? "attached" : "refused");
            refused.SetProcedureTopic("X.htm");
            refused.ShowHelpContents();  // unattached: nothing
            refused.ShowHelpTopic("X.htm", false);
            probe_.Add("topic '" + refused.procedureTopic() + "'");
        } else if (mode_ == Mode::Limits) {
            shell::HtmlHelpAgent long_(window());
            long_.AttachHelpFile(std::string(300, 'f') + "   ", wnd::kKeyF12);
            long_.SetProcedureTopic(std::string(300, 'p'));
            probe_.Add("procedure topic " + std::to_string(long_.procedureTopic().size()));
            long_.ShowHelpTopic(std::string(300, 't'), false);
            long_.LookupHelpKeyword(std::string(200, 'k') + "  ");
            long_.SetControlTopic(1, "trailing.htm   ");
            probe_.Add("control topic '" + long_.controlTopic(1) + "'");
            long_.DetachHelpFile();
            long_.ShowHelpContents();  // detached: nothing
        }
    }

private:
    Mode mode_;
    Probe& probe_;
};

void TestHelp(Mode mode, Probe& probe) {
    std::string a, b, c;
    cls::ProcedureBody body(shell::ServicesHere(), "TestHelp", "P1$WINDOW");
    body.window().Bind("A", wnd::UseVariable::Text(a, 10));
    body.window().Bind("B", wnd::UseVariable::Text(b, 10));
    body.window().Bind("C", wnd::UseVariable::Text(c, 10));
    body.Run<HelpController>(mode, probe);
}

class HelpAgent : public testing_support::TaskWindowsTest {
protected:
    void SetUp() override {
        static std::once_flag once;
        std::call_once(once, [] {
            std::string error;
            ASSERT_TRUE(wnd::RegisterLayout(kLayout, &error)) << error;
        });
        TaskWindowsTest::SetUp();
    }
    hl::UserWindow Start(Mode mode) {
        wnd::StartTask([this, mode] { TestHelp(mode, probe_); }, 0);
        return user_.Find("TestHelp");
    }
    // The help asked for since the last call, as "command topic keyword".
    std::vector<std::string> Asked() {
        std::vector<std::string> out;
        const auto all = user_.HelpRequests();
        for (std::size_t i = seen_; i < all.size(); ++i) {
            const wnd::HelpRequest& r = all[i];
            EXPECT_EQ(r.file, shell::kHelpFile);
            const char* names[] = {"topic", "contents", "index", "search", "keyword"};
            out.push_back(std::string(names[static_cast<int>(r.command)]) + " " + r.topic +
                          (r.keyword.empty() ? "" : " " + r.keyword));
        }
        seen_ = all.size();
        return out;
    }

    Probe probe_;
    std::size_t seen_ = 0;
};

TEST_F(HelpAgent, TheHelpKeyShowsTheFocusedControlsPageAndTheButtonTheProceduresPage) {
    auto w = Start(Mode::Topic);
    struct Case {
        const char* focus;
        wnd::KeyCode key;
        const char* asked;
    };
    const Case cases[] = {
        {"?A", wnd::kKeyF12, "topic A.htm"},      {"?A", wnd::kKeyF1, "topic A.htm"},
        {"?B", wnd::kKeyF12, "topic second.htm"}, {"?C", wnd::kKeyF1, "topic Proc.htm"},
        {"?HELP", wnd::kKeyF1, "topic Proc.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focus) + " " + wnd::KeyName(c.key));
        w.Click(c.focus);
        w.PressKey(c.key);
        EXPECT_EQ(Asked(), std::vector<std::string>{c.asked});
    }
    // The button answers through the agent alone: its standard action is cleared.
    EXPECT_EQ(w.Control("?HELP").std, wnd::StdAction::None);
    w.Press("?HELP");
    EXPECT_EQ(Asked(), std::vector<std::string>{"topic Proc.htm"});
    EXPECT_TRUE(user_.Actions().empty());
    w.PressKey(0x74);  // another key: no help
    EXPECT_TRUE(Asked().empty());
}

TEST_F(HelpAgent, WithoutAProcedurePageTheKeyShowsTheContentsAndTheButtonTheFile) {
    auto w = Start(Mode::NoTopic);
    w.Click("?C");
    w.PressKey(wnd::kKeyF12);
    w.Click("?A");
    w.PressKey(wnd::kKeyF12);
    w.Press("?HELP");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"contents ", "topic A.htm", "topic "}));
}

TEST_F(HelpAgent, EachWindowKeepsItsF1WhenAnotherCloses) {
    auto first = Start(Mode::Topic);
    auto second = Start(Mode::Topic);
    ASSERT_NE(first.id(), second.id());
    first.CloseBox();
    EXPECT_FALSE(first.Open());
    second.Click("?A");
    second.PressKey(wnd::kKeyF1);
    EXPECT_EQ(Asked(), std::vector<std::string>{"topic A.htm"});
}

TEST_F(HelpAgent, F1CannotBeTheHelpKey) {
    wnd::StartTask([this] { TestHelp(Mode::RefuseF1, probe_); }, 0);
    ASSERT_EQ(user_.Messages().size(), 1u);
    const wnd::MessageQuestion stop = user_.Messages()[0];
    EXPECT_EQ(stop.caption, "Stop");
    EXPECT_EQ(stop.text, shell::HtmlHelpAgent::kF1Refused);
    user_.Answer(wnd::kButtonOk);
    EXPECT_EQ(probe_.Take(), (std::vector<std::string>{"refused", "topic ''"}));
    EXPECT_TRUE(Asked().empty()) << "an unattached agent shows nothing";
}

TEST_F(HelpAgent, LongTextsAreCutNotRefused) {
    Start(Mode::Limits);
    EXPECT_EQ(probe_.Take(), (std::vector<std::string>{"procedure topic 255", "control topic 'trailing.htm'"}));
    const auto asked = user_.HelpRequests();
    ASSERT_EQ(asked.size(), 2u) << "nothing after the agent was detached";
    EXPECT_EQ(asked[0].file, std::string(255, 'f'));
    EXPECT_EQ(asked[0].topic, std::string(511 - 255 - 3, 't')) << "\"file::/topic\" holds 511 characters";
    EXPECT_EQ(asked[1].command, C::Keyword);
    EXPECT_EQ(asked[1].keyword, std::string(127, 'k'));
    EXPECT_EQ(asked[1].topic, std::string(255, 'p')) << "a keyword not found falls back on the procedure's page";
}

}  // namespace
