// The Enter-key navigator on a window of every control kind, driven through the headless
// presenter: which keys it takes from each kind, where the focus goes, what it leaves to the
// controls and to the history key, and explicit pairs across tab pages.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "globals/globals.h"
#include "platform/headless/scripted_user.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"
#include "shell/enter_key_navigator.h"
#include "shell/procedure_services.h"
#include "support/program_fixture.h"
#include "support/task_thread.h"
#include "support/task_windows_test.h"

namespace {

using wnd::ControlKind;
using Keys = std::array<wnd::KeyCode, 7>;

constexpr wnd::KeyCode kEnter = wnd::kKeyEnter, kUp = wnd::kKeyUp, kDown = wnd::kKeyDown, kLeft = wnd::kKeyLeft,
                       kRight = wnd::kKeyRight;

constexpr const char* kLayout = R"({"procedure": "TestNavigation", "windows": [{
  "label": "P1$WINDOW", "caption": "Navigation", "kind": "plain", "at": [300, 200],
  "controls": [
    {"use": "?SHEET", "kind": "sheet", "controls": [
      {"use": "?TAB1", "kind": "tab", "text": "One", "controls": [
        {"use": "?ENTRY", "kind": "entry", "picture": "@s20"},
        {"use": "?SINGLE", "kind": "text", "single": true, "picture": "@s20"},
        {"use": "?NOTES", "kind": "text", "picture": "@s80"},
        {"use": "?SPIN", "kind": "spin", "picture": "@n3", "range": [0, 99]},
        {"use": "?COMBO", "kind": "dropcombo", "picture": "@s20"},
        {"use": "?LIST", "kind": "list", "format": "80L~Name~@s20@"},
        {"use": "?CHECK", "kind": "check", "text": "Check", "values": ["Y", "N"]},
        {"use": "?OPTION", "kind": "option", "controls": [
          {"use": "?RADIO1", "kind": "radio", "text": "A", "value": "A"},
          {"use": "?RADIO2", "kind": "radio", "text": "B", "value": "B"}]},
        {"use": "?LAST", "kind": "button", "text": "Last"}]},
      {"use": "?TAB2", "kind": "tab", "text": "Two", "controls": [
        {"use": "?FIRST2", "kind": "entry", "picture": "@s20"},
        {"use": "?BUTTON2", "kind": "button", "text": "Two"}]}]},
    {"use": "?OK", "kind": "button", "text": "&OK"}]}]})";

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

// What the window's variables hold, for the test to read once the window has taken its input.
struct Values {
    std::string entry, single, notes, spin, combo, check, option, first2;
};

class NavigationController final : public cls::ProcedureController {
public:
    NavigationController(cls::ProcedureBody& body, Values& values, Probe& probe)
        : ProcedureController(body), values_(values), probe_(probe) {}

protected:
    int BeforeTables() override {
        HISTORYKEY = wnd::kKeyCtrlH;  // on every input control, before the navigator arms its keys
        return cls::kLevelGoOn;
    }
    int OnAccepted() override {
        const int r = ProcedureController::OnAccepted();
        const std::string& use = window().control(window().control()).use;
        if (use == "?OK") probe_.Add("entry=" + values_.entry + " notes=" + values_.notes);
        else if (window().control(window().control()).kind == ControlKind::Button) probe_.Add("pressed " + use);
        return r;
    }

private:
    Values& values_;
    Probe& probe_;
};

void TestNavigation(Values& values, Probe& probe) {
    cls::ProcedureBody body(shell::ServicesHere(), "TestNavigation", "P1$WINDOW");
    wnd::Window& w = body.window();
    w.Bind("ENTRY", wnd::UseVariable::Text(values.entry, 20));
    w.Bind("SINGLE", wnd::UseVariable::Text(values.single, 20));
    w.Bind("NOTES", wnd::UseVariable::Text(values.notes, 80));
    w.Bind("SPIN", wnd::UseVariable::Text(values.spin, 3));
    w.Bind("COMBO", wnd::UseVariable::Text(values.combo, 20));
    w.Bind("CHECK", wnd::UseVariable::Text(values.check, 1));
    w.Bind("OPTION", wnd::UseVariable::Text(values.option, 1));
    w.Bind("FIRST2", wnd::UseVariable::Text(values.first2, 20));
    // The last control of the first page leads to the first of the second, as the health profile's
    // pairs do; a second pair for the same control is ignored.
    body.navigator()->AddNextTabStop(w.Find("?LAST"), w.Find("?FIRST2"));
    body.navigator()->AddNextTabStop(w.Find("?LAST"), w.Find("?BUTTON2"));
    body.Run<NavigationController>(values, probe);
}

class Navigation : public testing_support::TaskWindowsTest {
protected:
    void SetUp() override {
        static std::once_flag once;
        std::call_once(once, [] {
            std::string error;
            ASSERT_TRUE(wnd::RegisterLayout(kLayout, &error)) << error;
        });
        TaskWindowsTest::SetUp();
        wnd::StartTask([this] { TestNavigation(values_, probe_); }, 0);
        window_ = std::make_unique<hl::UserWindow>(user_.Find("TestNavigation"));
    }
    hl::UserWindow& w() { return *window_; }

    Values values_;
    Probe probe_;
    std::unique_ptr<hl::UserWindow> window_;
};

TEST(EnterKeyNavigatorKeys, EachKindGetsItsKeysInPositions249To255) {
    struct Case {
        ControlKind kind;
        bool single;
        int option;
        Keys keys;  // positions 249..255
    };
    const Case cases[] = {
        {ControlKind::Entry, false, 0, {0, 0, 0, 0, kDown, kEnter, kUp}},
        {ControlKind::Text, true, 0, {0, 0, 0, 0, kDown, kEnter, kUp}},
        {ControlKind::Text, false, 0, {0, 0, 0, 0, 0, kEnter, 0}},
        {ControlKind::Spin, false, 0, {0, 0, 0, 0, 0, kEnter, 0}},
        {ControlKind::Combo, false, 0, {0, 0, 0, 0, 0, 0, kEnter}},
        {ControlKind::DropCombo, false, 0, {0, 0, 0, 0, 0, 0, kEnter}},
        {ControlKind::List, false, 0, {0, 0, 0, 0, kEnter, kRight, kLeft}},
        {ControlKind::DropList, false, 0, {0, 0, 0, 0, kEnter, kRight, kLeft}},
        {ControlKind::List, false, 1, {0, 0, 0, 0, kEnter, 0, 0}},
        {ControlKind::Button, false, 0, {0, 0, 0, kUp, kDown, kRight, kLeft}},
        {ControlKind::Radio, false, 0, {0, 0, kEnter, 0, 0, 0, 0}},
        {ControlKind::Check, false, 0, {0, 0, kEnter, kUp, kDown, kRight, kLeft}},
        {ControlKind::Prompt, false, 0, {}},
        {ControlKind::Option, false, 0, {}},
    };
    for (const Case& c : cases) {
        wnd::ControlState s;
        s.kind = c.kind;
        s.single = c.single;
        EXPECT_EQ(shell::EnterKeyNavigator::KeysFor(s, c.option), c.keys)
            << wnd::ControlKindName(c.kind) << (c.single ? " single" : "") << " option " << c.option;
    }
}

TEST_F(Navigation, KeysMoveTheFocusOrStayWithTheControlThatNeedsThem) {
    struct Case {
        const char* from;
        wnd::KeyCode key;
        const char* to;
    };
    const Case cases[] = {
        {"?ENTRY", kEnter, "?SINGLE"},  {"?ENTRY", kDown, "?SINGLE"},  {"?SINGLE", kUp, "?ENTRY"},
        {"?ENTRY", kLeft, "?ENTRY"},    {"?ENTRY", kRight, "?ENTRY"},  {"?SINGLE", kEnter, "?NOTES"},
        {"?NOTES", kDown, "?NOTES"},    {"?NOTES", kUp, "?NOTES"},     {"?SPIN", kEnter, "?COMBO"},
        {"?SPIN", kUp, "?SPIN"},        {"?COMBO", kEnter, "?LIST"},   {"?COMBO", kDown, "?COMBO"},
        {"?LIST", kEnter, "?CHECK"},    {"?LIST", kRight, "?CHECK"},   {"?LIST", kLeft, "?COMBO"},
        {"?LIST", kDown, "?LIST"},      {"?CHECK", kEnter, "?RADIO1"}, {"?CHECK", kRight, "?RADIO1"},
        {"?CHECK", kUp, "?LIST"},       {"?RADIO1", kEnter, "?RADIO2"}, {"?RADIO1", kDown, "?RADIO1"},
        {"?LAST", kUp, "?RADIO2"},      {"?LAST", kLeft, "?RADIO2"},   {"?OK", kDown, "?ENTRY"},
        {"?OK", kRight, "?ENTRY"},      {"?BUTTON2", kUp, "?FIRST2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + wnd::KeyName(c.key));
        w().Click(c.from);
        w().PressKey(c.key);
        EXPECT_EQ(w().Focus(), c.to);
    }
    EXPECT_TRUE(probe_.Take().empty()) << "no button was pressed by an arrow";
    // Enter on a button is the button's own: it presses it.
    w().Click("?LAST");
    w().PressKey(kEnter);
    EXPECT_EQ(probe_.Take(), std::vector<std::string>{"pressed ?LAST"});
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Navigation, EnterAcceptsWhatWasTypedAndAMultiLineBoxKeepsItsLineBreaks) {
    w().Type("?ENTRY", "typed");
    w().PressKey(kEnter);
    EXPECT_EQ(w().Focus(), "?SINGLE");

    w().Type("?NOTES", "first line");
    w().PressKey(kEnter);
    EXPECT_EQ(w().Focus(), "?NOTES") << "Enter stays in a box of several lines";
    EXPECT_EQ(w().Text("?NOTES"), "first line\n");
    w().Press("?OK");
    EXPECT_EQ(probe_.Take(), std::vector<std::string>{"entry=typed notes=first line\n"})
        << "what was typed reached the window's variables";
}

TEST_F(Navigation, APairLeadsAcrossTabPagesAndBack) {
    const int tab2 = w().Control("?TAB2").number;
    ASSERT_NE(w().Choice("?SHEET"), tab2);
    struct Case {
        const char* from;
        wnd::KeyCode key;
        const char* to;
    };
    const Case cases[] = {
        {"?LAST", kDown, "?FIRST2"},  // the first pair added wins over the second
        {"?LAST", kRight, "?FIRST2"},
        {"?LAST", wnd::kKeyTab, "?FIRST2"},
        {"?FIRST2", wnd::kKeyShiftTab, "?LAST"},
        {"?FIRST2", kUp, "?LAST"},
        {"?FIRST2", kEnter, "?BUTTON2"},  // no pair: the tab order
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + wnd::KeyName(c.key));
        w().Click(c.from);
        w().PressKey(c.key);
        EXPECT_EQ(w().Focus(), c.to);
    }
    w().Click("?LAST");
    w().PressKey(kDown);
    EXPECT_EQ(w().Choice("?SHEET"), tab2) << "the next page comes forward";
    EXPECT_EQ(w().Control("?LAST").alerts[248], wnd::kKeyTab);
    EXPECT_EQ(w().Control("?FIRST2").alerts[249], wnd::kKeyShiftTab);
}

TEST_F(Navigation, TheHistoryKeyStaysOnlyOnSpinBoxesRadiosAndMultiLineBoxes) {
    const std::map<std::string, bool> keeps = {
        {"?ENTRY", false}, {"?SINGLE", false}, {"?NOTES", true},  {"?SPIN", true},   {"?COMBO", false},
        {"?CHECK", false}, {"?RADIO1", true},  {"?RADIO2", true}, {"?FIRST2", false},
    };
    for (const auto& [use, kept] : keeps)
        EXPECT_EQ(w().Control(use).Alerts(wnd::kKeyCtrlH), kept) << use;
}

}  // namespace
