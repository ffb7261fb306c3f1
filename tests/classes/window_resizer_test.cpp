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

}  // namespace
