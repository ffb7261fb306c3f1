#include <gtest/gtest.h>

#include <string>

#include "platform/classes/window_resizer.h"
#include "platform/window/layout.h"
#include "platform/window/window.h"

namespace {

constexpr const char* kLayout = R"({"procedure": "ResizerTest", "windows": [{
  "label": "P1$WINDOW", "kind": "plain", "at": [100, 50],
  "controls": [
    {"use": "?LIST", "kind": "list", "at": [10, 10, 80, 30]},
    {"use": "?OK", "kind": "button", "text": "OK", "at": [10, 42, 20, 6]}]}]})";

bool same(const wnd::Rect& a, const wnd::Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(WindowResizer, ListsGrowButtonsMoveAndNothingShrinksBelowTheDesign) {
    std::string error;
    ASSERT_TRUE(wnd::RegisterLayout(kLayout, &error)) << error;
    wnd::Window w("ResizerTest", "P1$WINDOW");
    cls::WindowResizer r;
    r.Init(w, 2, true, false);
    r.SetDefaultStrategies();
    const int list = w.Find("?LIST"), ok = w.Find("?OK");
    const wnd::Rect listAt = w.control(list).at, okAt = w.control(ok).at;

    EXPECT_TRUE(same(r.Place(list, listAt, 200, 100), {20, 20, 160, 60}));
    EXPECT_TRUE(same(r.Place(ok, okAt, 200, 100), {20, 84, 20, 6}));
    // Wider only: the list grows sideways; the button's gap below the list is kept.
    EXPECT_TRUE(same(r.Place(list, listAt, 150, 50), {15, 10, 120, 30}));
    // Smaller than designed: laid out as designed, so controls never overlap.
    EXPECT_TRUE(same(r.Place(list, listAt, 50, 25), listAt));
    EXPECT_TRUE(same(r.Place(ok, okAt, 50, 25), okAt));
    // A control locked in place stays.
    r.SetStrategy(ok, cls::WindowResizer::kLockPosition);
    EXPECT_TRUE(same(r.Place(ok, okAt, 200, 100), okAt));
}

constexpr const char* kRowsLayout = R"({"procedure": "ResizerRows", "windows": [{
  "label": "P1$WINDOW", "kind": "plain", "at": [440, 300],
  "controls": [
    {"use": "?PLANNAME", "kind": "dropcombo", "at": [128, 171, 200, 12]},
    {"use": "?BUTTON7", "kind": "button", "at": [332, 171, 12, 12]},
    {"use": "?DATE:PROMPT", "kind": "prompt", "text": "Date:", "at": [8, 285, 56, 10]},
    {"use": "?DATE", "kind": "entry", "at": [66, 284, 52, 11]},
    {"use": "?TIME:PROMPT", "kind": "prompt", "text": "Time:", "at": [130, 285, 56, 10]},
    {"use": "?TIME", "kind": "entry", "at": [188, 284, 40, 11]},
    {"use": "?LIST", "kind": "list", "at": [8, 20, 300, 140]},
    {"use": "?NOTE", "kind": "entry", "at": [320, 40, 60, 11]}]}]})";

// When the window grows, a control keeps its place in its row: a lookup's button beside its combo,
// an entry beside and level with its prompt, a row's later controls level with its first; a
// control beside a list (not a row) moves as before.
TEST(WindowResizer, ControlsOfARowStayBesideAndLevelWithEachOther) {
    std::string error;
    ASSERT_TRUE(wnd::RegisterLayout(kRowsLayout, &error)) << error;
    wnd::Window w("ResizerRows", "P1$WINDOW");
    cls::WindowResizer r;
    r.Init(w, 2, true, false);
    r.SetDefaultStrategies();
    auto at = [&](const char* use, int width, int height) {
        const int n = w.Find(use);
        return r.Place(n, w.control(n).at, width, height);
    };
    for (const auto& [width, height] : {std::pair{880, 600}, {1000, 330}, {441, 700}}) {
        SCOPED_TRACE(std::to_string(width) + " by " + std::to_string(height));
        const wnd::Rect combo = at("?PLANNAME", width, height), button = at("?BUTTON7", width, height);
        EXPECT_EQ(button.x, combo.x + combo.width + 4);
        EXPECT_EQ(button.y, combo.y);
        const wnd::Rect date = at("?DATE:PROMPT", width, height), entry = at("?DATE", width, height);
        EXPECT_EQ(entry.x, date.x + date.width + 2);
        EXPECT_EQ(entry.y, date.y - 1) << "a prompt stays level with its entry";
        const wnd::Rect time = at("?TIME:PROMPT", width, height), timeEntry = at("?TIME", width, height);
        EXPECT_EQ(time.y, date.y);
        EXPECT_EQ(timeEntry.y, entry.y);
        EXPECT_GE(time.x, entry.x + entry.width) << "a row's controls never overlap";
        EXPECT_TRUE(same(at("?NOTE", width, height),
                         {static_cast<int>(320.0 * width / 440 + 0.5), static_cast<int>(40.0 * height / 300 + 0.5), 60, 11}));
    }
}

}  // namespace
