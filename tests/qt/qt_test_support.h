#pragma once
// Running the Qt presenter inside a test: every wait turns the event loop, so the GUI thread keeps
// answering while the task threads work.
#include <mutex>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>

#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/threads.h"
#include "platform/window/presenter.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "support/close_all_windows.h"

// The Qt tests' own layouts (tests/qt/layouts) and the program's that they draw, built into the
// test program.
bool RegisterQtTestLayouts(std::string* error);

namespace qttest {
// Registers them on the first call; a layout can be registered only once.
inline bool LayoutsRegistered(std::string* error) {
    static std::string failed;
    static const bool ready = RegisterQtTestLayouts(&failed);
    if (!ready && error) *error = failed;
    return ready;
}
}  // namespace qttest

namespace qttest {

// Keeps what the presenter delivers for a window opened straight through it.
class RecordingSink final : public wnd::InputSink {
public:
    void Deliver(wnd::InputEvent e) override {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
    }
    // Everything delivered since the last call.
    std::vector<wnd::InputEvent> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(events_, {});
    }
    // What was delivered of one kind since the last call (the rest is dropped).
    std::vector<wnd::InputEvent> Take(wnd::InputEvent::Kind kind) {
        std::vector<wnd::InputEvent> out;
        for (auto& e : Take())
            if (e.kind == kind) out.push_back(std::move(e));
        return out;
    }

private:
    std::mutex mutex_;
    std::vector<wnd::InputEvent> events_;
};

inline wnd::ControlState MakeControl(int number, wnd::ControlKind kind, const char* use, wnd::Rect at,
                                     const char* text = "", const char* icon = "") {
    wnd::ControlState c;
    c.number = number;
    c.kind = kind;
    c.use = use;
    c.at = at;
    c.text = text;
    c.icon = icon;
    return c;
}

// A plain window without controls yet, named `name`, for a test to open straight through a presenter.
inline wnd::WindowState PlainWindow(const std::string& name) {
    wnd::WindowState w;
    w.procedure = name;
    w.caption = name;
    w.kind = wnd::WindowKind::Plain;
    return w;
}

// A test around one window opened straight through a presenter of its own, closed after the test.
class OneWindowTest : public testing::Test {
protected:
    static constexpr wnd::WindowId kId = 7;

    void Open(const wnd::WindowState& w) {
        presenter_->OpenWindow(kId, 1, w, sink_);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        presenter_->CloseWindow(kId);
        QCoreApplication::processEvents();
    }
    qtp::Screen& screen() { return presenter_->screen(); }
    QWidget* widget(const char* use) { return screen().ControlWidget(kId, use); }

    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
    std::shared_ptr<RecordingSink> sink_ = std::make_shared<RecordingSink>();
};

// A window's dialog unit in pixels, from its font's own metrics: across, a quarter of the average
// width of the letters A-Z and a-z; down, an eighth of the font's height.
inline double UnitAcross(const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4;
}
inline double UnitDown(const QFont& font) { return QFontMetrics(font).height() / 8.0; }
// The pixels that hold `units` dialog units whole (and no more than a pixel over).
inline int PixelsAcross(const QFont& font, int units) { return static_cast<int>(units * UnitAcross(font) + 0.999); }

// How long a wait may last before the test fails. Generous, for a loaded machine: a wait ends as
// soon as what it waits for holds.
inline constexpr int kWaitMs = 20000;

// Turns the event loop until every task thread is idle and the presenter has applied what they
// sent; false when that did not happen in time.
inline bool Settle() {
    return QTest::qWaitFor([] {
        if (wnd::Activity::Busy() != 0) return false;
        const std::uint64_t starts = wnd::Activity::Starts();
        // What the threads sent before they went idle is queued for the GUI thread: apply it, and
        // be settled only if that gave no thread new work.
        QCoreApplication::processEvents();
        return wnd::Activity::Busy() == 0 && wnd::Activity::Starts() == starts;
    }, kWaitMs);
}
// Turns the event loop until every task thread has ended and the presenter has applied what they
// sent before they did.
inline bool WaitForTaskThreads() {
    return QTest::qWaitFor([] {
        if (rt::LiveTaskThreads() != 0) return false;
        QCoreApplication::processEvents();
        return true;
    }, kWaitMs);
}

// A test of windows that run on task threads, on a presenter of its own; after the test every window
// is asked to close, a box still up is answered Yes, and every thread has ended.
class TaskWindowsTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LayoutsRegistered(&error)) << error;
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        testing_support::CloseAllWindows([this] {
            for (QMessageBox* box : screen().MessageBoxes()) QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            EXPECT_TRUE(WaitForTaskThreads());
        });
        wnd::SetPresenter(nullptr);
    }
    qtp::Screen& screen() { return presenter_->screen(); }

    std::shared_ptr<qtp::QtPresenter> presenter_ = std::make_shared<qtp::QtPresenter>();
};

}  // namespace qttest
