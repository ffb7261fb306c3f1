// Every stored window as its procedure runs it, with its resizer, maximised and restored again and
// again on the headless presenter.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/classes/window_resizer.h"
#include "platform/headless/headless_presenter.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/threads.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "support/close_all_windows.h"
#include "support/stored_windows.h"

namespace {

bool same(const wnd::Rect& a, const wnd::Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Every stored window run as its procedure runs it, with its resizer, on the headless presenter:
// after ten maximise and restore cycles (a small frame's area, then a screen's), every control is
// where it was designed.
class StoredWindows : public testing::Test {
protected:
    void SetUp() override { wnd::SetPresenter(presenter_); }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
    }
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

TEST_F(StoredWindows, TenMaximiseAndRestoreCyclesLeaveEveryControlWhereItWasDesigned) {
    testing_support::ForEachStoredWindow(PRESCRIPTS_RESOURCES, [this](const wnd::ProcedureLayout& layout, const wnd::WindowLayout& design) {
        const wnd::Rect at = design.window.at;
        // (A window on a timer, a report's progress, is never idle: its layout is checked above.)
        if (at.width <= 0 || at.height <= 0 || design.window.kind == wnd::WindowKind::AppFrame || design.window.timer > 0) return;
        SCOPED_TRACE(layout.procedure + " " + design.window.caption);
        ASSERT_NE(wnd::StartTask([&design] {
            wnd::Window w(design);
            w.Open();
            testing_support::RunResized(w);
        }, 0), 0);
        user_.WaitIdle();
        hl::UserWindow shown = user_.Find(layout.procedure);
        for (int cycle = 0; cycle < 10; ++cycle) {
            shown.Resize(cycle % 2 ? 636 : std::max(at.width, 430) + 9, cycle % 2 ? 480 : std::max(at.height, 240) + 7);
            shown.Resize(at.width, at.height);
        }
        for (const wnd::LayoutControl& c : design.controls) {
            if (c.state.kind == wnd::ControlKind::MenuBar || c.state.kind == wnd::ControlKind::Menu ||
                c.state.kind == wnd::ControlKind::Item || c.state.kind == wnd::ControlKind::Separator || c.state.use.empty())
                continue;
            EXPECT_TRUE(same(shown.Control(c.state.use).at, c.state.at)) << c.state.use << " is where it was designed";
        }
        shown.CloseBox();
        user_.WaitIdle();
    });
}

}  // namespace
