#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/window.h"
#include "window/thing_record.h"

namespace {

using wnd::Event;

class EventLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(wtest::TestLayoutsReady(&error)) << error;
    }
    // "Event ?USE" for each event until the loop ends or `limit` events came.
    static std::vector<std::string> Run(wnd::Window& w, std::size_t limit = 20) {
        std::vector<std::string> seen;
        while (seen.size() < limit && w.Accept()) {
            std::string e(wnd::EventName(w.event()));
            if (w.control()) e += " " + w.control(w.control()).use;
            seen.push_back(e);
        }
        return seen;
    }
};

TEST_F(EventLoop, OpensFirstKeepsPostedOrderAndEndsOnClose) {
    wnd::Window w("Things", "P1$WINDOW");
    w.Open();
    w.Post(Event::Accepted, w.Find("?OK"));
    w.Post(Event::User, 0);
    w.Post(Event::CloseWindow);
    w.Post(Event::Accepted, w.Find("?ASK"));  // after the close: never seen
    EXPECT_EQ(Run(w), (std::vector<std::string>{"OpenWindow", "Accepted ?OK", "User", "CloseWindow"}));
    EXPECT_FALSE(w.Accept());
}

TEST_F(EventLoop, CancelledCloseKeepsTheLoopGoing) {
    wnd::Window w("Things", "P1$WINDOW");
    w.Open();
    w.Post(Event::CloseDown);
    w.Post(Event::CloseWindow);
    ASSERT_TRUE(w.Accept());  // OpenWindow
    ASSERT_TRUE(w.Accept());
    EXPECT_EQ(w.event(), Event::CloseDown);
    w.CancelClose();
    ASSERT_TRUE(w.Accept());
    EXPECT_EQ(w.event(), Event::CloseWindow);
    EXPECT_FALSE(w.Accept());
}

TEST_F(EventLoop, PostFromAnotherThreadAndToAClosedWindow) {
    wnd::WindowHandle stale;
    {
        wnd::Window gone("Child", "P1$WINDOW");
        gone.Open();
        stale = gone.handle();
    }
    EXPECT_FALSE(stale.Post(Event::User));  // its thread's queue outlives it here, but the window does not
    wnd::Window w("Things", "P1$WINDOW");
    w.Open();
    std::thread other([h = w.handle()] { h.Post(Event::CloseWindow); });
    other.join();
    EXPECT_EQ(Run(w), (std::vector<std::string>{"OpenWindow", "CloseWindow"}));
}

TEST_F(EventLoop, TimerFiresWhileNothingElseHappens) {
    wnd::Window w("Child", "P1$WINDOW");
    w.SetTimer(1);
    w.Open();
    ASSERT_TRUE(w.Accept());
    ASSERT_TRUE(w.Accept());
    EXPECT_EQ(w.event(), Event::Timer);
}

TEST_F(EventLoop, TabOrderSkipsHiddenAndDisabledAndSelectBringsTabForward) {
    wnd::Window w("Things", "P1$WINDOW");
    w.Open();
    const int sheet = w.Find("?SHEET");
    EXPECT_EQ(w.control(sheet).choice, w.Find("?TAB1"));
    EXPECT_EQ(w.focus(), w.Find("?THI:NAME"));  // the first control that takes the focus

    w.Select(w.Find("?LOC:NOTE"));
    EXPECT_EQ(w.NextTabStop(), w.Find("?LOC:OTHER"));  // the next tab's controls still follow on
    w.Select(w.Find("?LOC:OTHER"));
    EXPECT_EQ(w.control(sheet).choice, w.Find("?TAB2"));

    w.Select(w.Find("?GOTAB2"));
    EXPECT_EQ(w.NextTabStop(), w.Find("?CANCEL"));  // ?HIDDEN and ?SPARE skipped
    w.Select(w.Find("?CANCEL"));
    EXPECT_EQ(w.NextTabStop(), w.Find("?THI:NAME"));  // round again
    EXPECT_EQ(w.PrevTabStop(), w.Find("?GOTAB2"));

    w.SetDisabled(w.Find("?TAB2"), true);  // a disabled tab takes its controls out
    w.Select(w.Find("?LOC:NOTE"));
    EXPECT_EQ(w.NextTabStop(), w.Find("?LIST"));
    w.Select(w.Find("?NAME:PROMPT"));  // a prompt takes no focus
    EXPECT_EQ(w.focus(), w.Find("?LOC:NOTE"));
    // Each Select posted Selected for its control.
    const auto seen = Run(w, 6);
    EXPECT_EQ(seen[1], "Selected ?LOC:NOTE");
    EXPECT_EQ(seen[5], "Selected ?LOC:NOTE");
}

TEST_F(EventLoop, AcceptAllVisitsInputControlsInOrderThenCompletes) {
    wnd::Window w("Things", "P1$WINDOW");
    w.SetHidden(w.Find("?THI:PRICE"), true);
    w.SetReadOnly(w.Find("?THI:BOUGHT"), true);
    w.Open();
    ASSERT_TRUE(w.Accept());
    w.AcceptAll();
    EXPECT_EQ(Run(w, 8), (std::vector<std::string>{"Accepted ?THI:NAME", "Accepted ?THI:COUNT", "Accepted ?LOC:REFILLS",
                                                    "Accepted ?THI:ACTIVE", "Accepted ?THI:SIZE", "Accepted ?LOC:NOTE",
                                                    "Accepted ?LOC:OTHER", "Completed"}));
    // A Select during the pass ends it without Completed.
    w.AcceptAll();
    ASSERT_TRUE(w.Accept());
    w.Select(w.Find("?THI:COUNT"));
    w.Post(Event::CloseWindow);
    EXPECT_EQ(Run(w), (std::vector<std::string>{"Selected ?THI:COUNT", "CloseWindow"}));
}

TEST_F(EventLoop, BoundValuesShowThroughPicturesAndRunTimeControls) {
    wtest::Thing rec{};
    std::memcpy(rec.name, "Pen       ", 10);
    rec.count = -3;
    rec.bought.set(4);
    rec.active[0] = 'Y';
    rec.size[0] = 'L';
    wnd::Window w("Things", "P1$WINDOW");
    EXPECT_EQ(w.BindRecord(wtest::kThingTable, &rec), 6);  // the option, not its radios
    w.Open();
    EXPECT_EQ(w.control(w.Find("?THI:NAME")).text, "Pen");
    EXPECT_EQ(w.control(w.Find("?THI:COUNT")).text, "-3");
    EXPECT_EQ(w.control(w.Find("?THI:BOUGHT")).text, "01/01/1801");
    EXPECT_TRUE(w.control(w.Find("?THI:ACTIVE")).checked);
    EXPECT_TRUE(w.control(w.Find("?THI:SIZE:RADIO2")).checked);
    EXPECT_FALSE(w.control(w.Find("?THI:SIZE:RADIO1")).checked);

    const int extra = w.Create(wnd::ControlKind::Entry, "?LOC:EXTRA", w.Find("?TAB2"), "");
    EXPECT_EQ(extra, w.LastControl());
    std::string value = "hello";
    EXPECT_EQ(w.Bind("LOC:EXTRA", wnd::UseVariable::Text(value, 10)), 1);
    w.Display();
    EXPECT_EQ(w.control(extra).text, "hello");
    EXPECT_THROW(w.Create(wnd::ControlKind::Button, "?OK"), std::invalid_argument);
    w.SetAlert(extra, 255, wnd::kKeyCtrlH);
    EXPECT_EQ(w.alert(extra, 255), wnd::kKeyCtrlH);
    EXPECT_THROW(w.SetAlert(extra, 256, 1), std::out_of_range);
    w.SetColour(extra, 0xFF0000);
    EXPECT_EQ(w.control(extra).colour, 0xFF0000u);
    EXPECT_THROW(w.SetColour(extra, 0x1000000), std::out_of_range);
    w.ClearColour(extra);
    EXPECT_EQ(w.control(extra).colour, wnd::kDefaultColour);
}

TEST(MessageBoxWithoutPresenter, AnswersTheDefault) {
    EXPECT_EQ(wnd::Message("Sure?", "Question", wnd::MessageIcon::Question, wnd::kButtonYes | wnd::kButtonNo, wnd::kButtonNo),
              wnd::kButtonNo);
    EXPECT_EQ(wnd::Message("Plain"), wnd::kButtonOk);
    EXPECT_EQ(wnd::Popup("&One|-|&Two"), 0);
}

}  // namespace
