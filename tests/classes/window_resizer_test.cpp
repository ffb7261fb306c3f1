#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/classes/window_resizer.h"
#include "platform/window/layout.h"
#include "platform/window/window.h"
#include "support/stored_windows.h"

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

// The resizer's rules over every window the program stores, at its designed size, maximised in a
// small frame and in a full-screen one, wide and short, and after ten maximise and restore cycles.
struct Laid {
    wnd::ControlState designed;
    wnd::Rect at;
};

bool rowControl(const wnd::ControlState& c) {
    using K = wnd::ControlKind;
    const bool grows = c.kind == K::List || c.kind == K::Text || c.kind == K::Sheet || c.kind == K::Tab ||
                       c.kind == K::Region || c.kind == K::Group || c.kind == K::Option;
    return !grows && c.at.height > 0 && c.at.height <= 16;
}

bool overlap(const wnd::Rect& a, const wnd::Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// A box's controls keep their place in their box rather than in a column of the window.
bool inBox(const Laid& c, const std::vector<Laid>& laid) {
    for (const Laid& box : laid)
        if (box.designed.number == c.designed.parent)
            return box.designed.kind == wnd::ControlKind::Group || box.designed.kind == wnd::ControlKind::Option;
    return false;
}

// What must hold of a window laid out `width` by `height` (at least its designed size).
void ExpectTheRules(const std::vector<Laid>& laid, int designWidth, int designHeight, int width, int height) {
    for (const Laid& a : laid) {
        const wnd::Rect& d = a.designed.at;
        SCOPED_TRACE(a.designed.use);
        if (d.x + d.width <= designWidth && d.y + d.height <= designHeight) {
            EXPECT_LE(a.at.x + a.at.width, width) << "stays inside the window";
            EXPECT_LE(a.at.y + a.at.height, height) << "stays inside the window";
        }
        EXPECT_GE(a.at.width, d.width) << "never narrower than designed";
        if (!rowControl(a.designed) && a.designed.kind != wnd::ControlKind::Image && a.designed.kind != wnd::ControlKind::Prompt &&
            a.designed.kind != wnd::ControlKind::String && a.designed.kind != wnd::ControlKind::Button) {
            EXPECT_GE(a.at.width, d.width * width / designWidth - 2) << "grows with the window";
        }
        if (a.designed.parent == 0 && rowControl(a.designed) && d.x + d.width >= designWidth - 12 && d.x + d.width <= designWidth) {
            EXPECT_NEAR(a.at.x + a.at.width, (d.x + d.width) * static_cast<double>(width) / designWidth, 1) << "keeps to the right edge";
        }
        for (const Laid& b : laid) {
            if (&a == &b) continue;
            const wnd::Rect& e = b.designed.at;
            if (std::abs(d.x - e.x) <= 3 && !inBox(a, laid) && !inBox(b, laid)) {
                EXPECT_EQ(a.at.x - b.at.x, d.x - e.x) << "shares a column with " << b.designed.use;
            }
            if (a.designed.parent == b.designed.parent && rowControl(a.designed) && rowControl(b.designed) &&
                std::abs((2 * d.y + d.height) - (2 * e.y + e.height)) <= 2) {
                EXPECT_EQ(a.at.y - b.at.y, d.y - e.y) << "shares a row with " << b.designed.use;
            }
            if (a.designed.parent == b.designed.parent && a.designed.kind != wnd::ControlKind::Tab && b.designed.kind != wnd::ControlKind::Tab &&
                !overlap(d, e)) {
                EXPECT_FALSE(overlap(a.at, b.at)) << "comes over " << b.designed.use;
            }
            if (b.designed.number == a.designed.parent && inBox(a, laid)) {
                EXPECT_EQ(a.at.x - b.at.x, d.x - e.x) << "keeps its place in its box";
                EXPECT_EQ(a.at.y - b.at.y, d.y - e.y) << "keeps its place in its box";
            }
        }
    }
}

TEST(WindowResizer, EveryStoredWindowKeepsItsColumnsRowsAndEdgesAtEverySize) {
    int windows = 0;
    testing_support::ForEachStoredWindow(PRESCRIPTS_RESOURCES, [&windows](const wnd::ProcedureLayout& layout, const wnd::WindowLayout& design) {
        SCOPED_TRACE(layout.procedure + " " + design.window.caption);
        wnd::Window w(design);
        cls::WindowResizer r;
        r.Init(w, 2, true, false);
        r.SetDefaultStrategies();
        const int dw = w.state().at.width, dh = w.state().at.height;
        if (dw <= 0 || dh <= 0) return;
        ++windows;
        auto layOut = [&](int width, int height) {
            std::vector<Laid> out;
            for (const wnd::ControlState& c : w.state().controls)
                if (c.kind != wnd::ControlKind::MenuBar && c.kind != wnd::ControlKind::Menu && c.kind != wnd::ControlKind::Item &&
                    c.kind != wnd::ControlKind::Separator && c.kind != wnd::ControlKind::Tab)
                    out.push_back({c, r.Place(c.number, c.at, width, height)});
            return out;
        };
        const struct {
            const char* name;
            int width, height;
        } sizes[] = {{"designed", dw, dh},
                     {"maximised in a small frame", std::max(dw, 430) + 9, std::max(dh, 240) + 7},
                     {"maximised at full screen", 636, 480},
                     {"wide and short", 1000, dh},
                     {"smaller than designed", dw / 2, dh / 2}};
        for (const auto& size : sizes) {
            SCOPED_TRACE(size.name);
            const int width = std::max(size.width, dw), height = std::max(size.height, dh);
            ExpectTheRules(layOut(size.width, size.height), dw, dh, width, height);
        }
        for (const Laid& c : layOut(dw, dh))
            EXPECT_TRUE(same(c.at, c.designed.at)) << c.designed.use << " is where it was designed";
    });
    EXPECT_GT(windows, 0) << "the stored layouts were found";
}

}  // namespace
