#include <gtest/gtest.h>

#include <tuple>

#include "platform/window/keys.h"
#include "platform/window/layout.h"
#include "window/thing_record.h"

namespace {

class Layouts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(wtest::TestLayoutsReady(&error)) << error;
    }
};

TEST_F(Layouts, CompiledInLayoutNumbersControlsDepthFirst) {
    const wnd::WindowLayout* w = wnd::FindWindowLayout("things", "p1$window");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->window.caption, "Things");
    EXPECT_EQ(w->window.kind, wnd::WindowKind::MdiChild);
    EXPECT_EQ(w->window.at.width, 300);
    EXPECT_EQ(w->window.font.points, 8);

    wnd::WindowState s = w->window;
    for (const auto& c : w->controls) s.controls.push_back(c.state);
    const int item = s.controlByUse("?CLOSEITEM");
    ASSERT_EQ(item, 5);  // menubar 1, menu 2, help item 3, separator 4
    EXPECT_EQ(s.controls[item - 1].parent, 2);
    EXPECT_EQ(s.controls[item - 1].std, wnd::StdAction::Close);
    const int other = s.controlByUse("?loc:other");
    EXPECT_EQ(s.controls[other - 1].parent, s.controlByUse("?TAB2"));
    EXPECT_EQ(w->controls[other - 1].var, "LOC:OTHER");
    const int radio = s.controlByUse("?THI:SIZE:RADIO2");
    EXPECT_EQ(w->controls[radio - 1].value, "L");
    EXPECT_EQ(w->controls[s.controlByUse("?THI:ACTIVE") - 1].trueValue, "Y");
    EXPECT_EQ(s.controls[s.controlByUse("?LIST") - 1].alerts[199], wnd::kKeyDelete);
    EXPECT_EQ(s.controls[s.controlByUse("?LIST") - 1].format, "80L(2)|M~Name~@s10@");
    const wnd::ControlState& spin = s.controls[s.controlByUse("?LOC:REFILLS") - 1];
    EXPECT_EQ(std::make_tuple(spin.rangeLow, spin.rangeHigh, spin.step), std::make_tuple(1, 24, 2));
    const wnd::ControlState& entry = s.controls[s.controlByUse("?THI:COUNT") - 1];
    EXPECT_EQ(std::make_tuple(entry.rangeLow, entry.rangeHigh, entry.step), std::make_tuple(0, 0, 1)) << "no range";

    const wnd::WindowLayout* child = wnd::FindWindowLayout("Child", "P1$WINDOW");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->window.kind, wnd::WindowKind::Plain);
    EXPECT_EQ(child->window.alertKeys, std::vector<wnd::KeyCode>{wnd::kKeyF12});
    EXPECT_EQ(child->window.Translate(wnd::kKeyEnter), wnd::kKeyTab);
    EXPECT_EQ(wnd::FindWindowLayout("Things", "P1$NOWINDOW"), nullptr);
}

TEST_F(Layouts, RegisteringTheSameProcedureTwiceIsRefused) {
    std::string error;
    EXPECT_FALSE(wnd::RegisterLayout(R"({"procedure": "THINGS", "windows": []})", &error));
    EXPECT_NE(error.find("twice"), std::string::npos);
}

TEST(LayoutParse, FaultsAreNamedWithTheirPlace) {
    struct Case {
        const char* json;
        const char* says;
    };
    const Case cases[] = {
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "knob"}]}]})", "unknown kind"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "entry", "use": "?A"},
            {"kind": "button", "use": "?a"}]}]})", "is taken by control 1"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "entry", "use": "A"}]}]})", "starts with '?'"},
        {R"({"procedure": "P", "windows": [{"label": "W", "alerts": ["Ctrl+Banana"]}]})", "unknown key"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "entry", "alerts": {"256": "F1"}}]}]})", "not 1..255"},
        {R"({"procedure": "P", "windows": [{"label": "W", "caption": "Ω"}]})", "code page"},
        {R"({"procedure": "P", "windows": [{"caption": "x"}]})", "no label"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "button", "std": "explode"}]}]})", "standard action"},
        {R"({"procedure": "P", "windows": [{"label": "W", "kind": "modal"}]})", "unknown kind"},
        {R"({"procedure": "P", "windows": [)", "parse"},
        // A spin box's range is [low, high] with low <= high, its step 1 or more; other kinds have neither.
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "range": [24, 1]}]}]})",
         "control 1: \"range\" must be [low, high]"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "range": [1]}]}]})", "\"range\" must be"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "range": [1, "24"]}]}]})",
         "\"range\" must be"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "range": [1, 10000000000]}]}]})",
         "\"range\" must be"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "step": 0}]}]})",
         "control 1: \"step\" must be"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "spin", "step": 1.5}]}]})", "\"step\" must be"},
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "entry", "range": [1, 2]}]}]})",
         "belong to spin boxes"},
        // A picture that does not parse is refused with the layout, not when its window opens.
        {R"({"procedure": "P", "windows": [{"label": "W", "controls": [{"kind": "entry", "picture": "tip0"}]}]})",
         "window 1 control 1: The picture \"tip0\" is not valid"},
        {R"({"procedure": "P", "windows": [], "reports": [{"label": "R", "at": [0, 0, 10, 10], "bands": [
          {"kind": "detail", "at": [0, 0, 10, 5], "controls": [{"kind": "string", "picture": "@q9"}]}]}]})",
         "The picture \"@q9\" is not valid"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(wnd::ParseLayout(c.json, &error), nullptr) << c.json;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.json << " -> " << error;
    }
}

TEST(LayoutParse, TextsBecomeSingleByte) {
    std::string error;
    auto p = wnd::ParseLayout(R"({"procedure": "P", "windows": [{"label": "W", "caption": "Caf\u00e9"}]})", &error);
    ASSERT_NE(p, nullptr) << error;
    EXPECT_EQ(p->windows[0].window.caption, "Caf\xE9");
}

TEST(Keys, NamesAndCodes) {
    const std::pair<const char*, wnd::KeyCode> cases[] = {
        {"Tab", 0x09},    {"Enter", 0x0D}, {"Shift+Tab", 0x109}, {"Ctrl+H", 0x248}, {"F1", 0x70},
        {"F12", 0x7B},    {"ctrl+shift+a", 0x341}, {"0x7B", 0x7B}, {"Delete", 0x2E}, {"MouseLeft2", 0x05},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(wnd::KeyFromName(name), code) << name;
        EXPECT_EQ(wnd::KeyFromName(wnd::KeyName(code)), code) << name;
    }
    EXPECT_FALSE(wnd::KeyFromName("Hyper+Q"));
    EXPECT_FALSE(wnd::KeyFromName("F25"));
    EXPECT_FALSE(wnd::KeyFromName("F4294967297"));  // not F1 by overflow
    EXPECT_FALSE(wnd::KeyFromName("Ctrl+F17777777777772"));
    EXPECT_FALSE(wnd::KeyFromName(""));
}

}  // namespace
