// Window procedures on task threads, driven by the scripted user through the headless presenter.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/headless/scripted_user.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "window/thing_record.h"
#include "support/thread_log.h"
#include "support/close_all_windows.h"

namespace {

using wnd::Event;

using Log = testing_support::ThreadLog;

std::string describe(const wnd::Window& w) {
    std::string e(wnd::EventName(w.event()));
    if (w.control()) e += " " + w.control(w.control()).use;
    if (w.event() == Event::AlertKey) e += " " + wnd::KeyName(w.keyCode());
    return e;
}

// The nested window: answers 1 when its OK is pressed, 2 when it is closed otherwise.
int RunChild(Log& log) {
    std::int32_t value = 0;
    std::string more;
    wnd::Window w("Child", "P1$WINDOW");
    w.Bind("LOC:VALUE", wnd::UseVariable::Long(value));
    w.Bind("LOC:MORE", wnd::UseVariable::Text(more, 5));
    w.Open();
    int result = 2;
    while (w.Accept()) {
        if (w.event() == Event::AlertKey) log.Add("child " + describe(w));
        if (w.event() == Event::Accepted && w.control() == w.Find("?CHILDOK")) {
            result = 1;
            w.Post(Event::CloseWindow);
        }
    }
    return result;
}

// What one Things procedure leaves behind, read by the test once the threads are idle.
struct ThingsRun {
    wtest::Thing rec{};
    std::string note, other;
    std::int32_t refills = 0;  // a spin box of range 1..24: the stored 0 lies outside it
    Log log;
};

void RunThings(ThingsRun& run) {
    rt::clearRecord(wtest::kThingTable, &run.rec);
    run.rec.count = 7;
    wnd::Window w("Things", "P1$WINDOW");
    w.BindRecord(wtest::kThingTable, &run.rec);
    w.Bind("LOC:NOTE", wnd::UseVariable::Text(run.note, 20));
    w.Bind("LOC:OTHER", wnd::UseVariable::Text(run.other, 20));
    w.Bind("LOC:REFILLS", wnd::UseVariable::Long(run.refills));
    w.SetRows(w.Find("?LIST"), {{"alpha"}, {"beta"}});
    w.SetAlert(w.Find("?THI:NAME"), 1, 0x74);  // F5
    w.SetAlert(w.Find("?THI:COUNT"), 1, wnd::kKeyEnter);
    w.Open();
    while (w.Accept()) {
        if (w.event() == Event::Selected) continue;  // focus moves are logged only where a test wants them
        run.log.Add(describe(w));
        if (w.event() != Event::Accepted) continue;
        const int c = w.control();
        if (c == w.Find("?OK")) w.AcceptAll();
        if (c == w.Find("?ASK"))
            run.log.Add("answer " + std::to_string(wnd::Message("Really?", "Ask", wnd::MessageIcon::Question,
                                                                 wnd::kButtonYes | wnd::kButtonNo, wnd::kButtonYes)));
        if (c == w.Find("?NEST")) run.log.Add("child answered " + std::to_string(RunChild(run.log)));
        if (c == w.Find("?POP")) run.log.Add("popup " + std::to_string(wnd::Popup("&One|-|&Two")));
        if (c == w.Find("?GOTAB2")) w.Select(w.Find("?LOC:OTHER"));
    }
}

class Headless : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(wtest::TestLayoutsReady(&error)) << error;
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
    }
    // Runs live in the fixture: their procedures still log while TearDown closes the windows.
    ThingsRun& NewRun() { return runs_.emplace_back(); }
    hl::UserWindow Start(ThingsRun& run) {
        EXPECT_NE(wnd::StartTask([&run] { RunThings(run); }, 25000), 0);
        run.log.Take();
        auto w = user_.Find("Things");
        run.log.Take();  // OpenWindow
        return w;
    }

    std::deque<ThingsRun> runs_;
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

using Lines = std::vector<std::string>;

TEST_F(Headless, EntriesAcceptThroughTheirPicturesAndRefuseWhatDoesNotFit) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    EXPECT_EQ(w.Text("?THI:COUNT"), "7");

    struct Case {
        const char* use;
        const char* typed;
        const char* shown;   // after acceptance, or the old value after a refusal
        const char* refusal; // part of the message box text; nullptr: accepted
        const char* note = nullptr;  // what the entry told the user as it was typed
    };
    const Case cases[] = {
        {"?THI:NAME", "Pen", "Pen", nullptr},
        // Text stops at the picture's width as it is typed: no box, nothing thrown away but the rest.
        {"?THI:NAME", "Fountain pen", "Fountain p", nullptr},
        {"?THI:COUNT", "1,234", "1234", nullptr},
        {"?THI:COUNT", "40000", "1234", "-32768 and 32767"},
        // A spin box refuses what lies outside its range, and keeps a stored value outside it.
        {"?LOC:REFILLS", "25", "0", "must be between 1 and 24"},
        {"?LOC:REFILLS", "0", "0", "must be between 1 and 24"},
        {"?LOC:REFILLS", "2x", "0", "not a number"},  // the picture's own reason comes first
        {"?LOC:REFILLS", "24", "24", nullptr},
        {"?LOC:REFILLS", "1", "1", nullptr},
        {"?THI:PRICE", "12.5", "12.50", nullptr},
        {"?THI:PRICE", "123456", "12.50", "99999.99"},
        {"?THI:BOUGHT", "2/3/26", "02/03/2026", nullptr},
        {"?THI:BOUGHT", "02/30/2026", "02/03/2026", "02/30/2026"},
        // No Ł in the code page: it is left out where it is typed, the rest kept, the note naming it.
        {"?THI:NAME", "\xE2\x82\xAC\xC5\x81\xE2\x84\xA2", "\xE2\x82\xAC\xE2\x84\xA2", nullptr,
         "The character \xC5\x81 cannot be stored here."},
        {"?THI:NAME", "Caf\xC3\xA9", "Caf\xC3\xA9", nullptr},  // UTF-8 in, one byte in the record
    };
    for (const Case& c : cases) {
        const std::size_t notesBefore = w.Notes().size();
        w.Fill(c.use, c.typed);
        if (c.refusal) {
            const auto boxes = user_.Messages();
            ASSERT_EQ(boxes.size(), 1u) << c.typed;
            EXPECT_NE(boxes[0].text.find(c.refusal), std::string::npos) << c.typed << " -> " << boxes[0].text;
            EXPECT_TRUE(w.Inert());
            user_.Answer(wnd::kButtonOk);
            EXPECT_EQ(w.Focus(), c.use) << "the refused entry keeps the focus";
            EXPECT_EQ(run.log.Take(), Lines{std::string("Rejected ") + c.use}) << c.typed;
        } else {
            EXPECT_FALSE(user_.HasMessage()) << c.typed;
            EXPECT_EQ(run.log.Take(), Lines{std::string("Accepted ") + c.use}) << c.typed;
        }
        EXPECT_EQ(w.Text(c.use), c.shown) << c.typed;
        const auto notes = w.Notes();
        EXPECT_EQ(notes.size() > notesBefore ? notes.back() : std::string(), c.note ? c.note : "") << c.typed;
    }
    EXPECT_EQ(std::string(run.rec.name, 10), "Caf\xE9      ");
    EXPECT_EQ(run.rec.count, 1234);
    EXPECT_EQ(run.refills, 1);
    EXPECT_EQ(rt::fieldText(wtest::kThingFields[2], &run.rec), "12.50");
    EXPECT_EQ(run.rec.bought.get(), *rt::dateFromYmd(2026, 2, 3));

    // Leaving an entry unchanged raises nothing; Enter accepts it all the same.
    w.Click("?THI:PRICE");
    w.PressKey(wnd::kKeyTab);
    EXPECT_EQ(run.log.Take(), Lines{});
    // Then it presses the window's default button, OK, whose pass accepts every control.
    w.Click("?THI:PRICE");
    w.PressKey(wnd::kKeyEnter);
    const Lines entered = run.log.Take();
    ASSERT_GE(entered.size(), 2u);
    EXPECT_EQ(Lines(entered.begin(), entered.begin() + 2), (Lines{"Accepted ?THI:PRICE", "Accepted ?OK"}));
    EXPECT_EQ(entered.back(), "Completed");

    w.SetChecked("?THI:ACTIVE", true);
    w.ChooseRadio("?THI:SIZE:RADIO2");
    EXPECT_EQ(run.log.Take(), (Lines{"Accepted ?THI:ACTIVE", "Accepted ?THI:SIZE"}));
    EXPECT_EQ(run.rec.active[0], 'Y');
    EXPECT_EQ(run.rec.size[0], 'L');
    w.ChooseRow("?LIST", 2);
    EXPECT_EQ(run.log.Take(), Lines{"NewSelection ?LIST"});
    EXPECT_EQ(w.Rows("?LIST")[1][0], "beta");
}

TEST_F(Headless, StandardActionsRaiseNoAccepted) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    w.Press("?HELPITEM");
    EXPECT_EQ(user_.Actions(), Lines{"Things ?HELPITEM help"});
    EXPECT_EQ(run.log.Take(), Lines{});
    w.Type("?THI:NAME", "Ink");
    w.Press("?CANCEL");  // the close action: leaving the entry accepts it, the button itself raises nothing
    EXPECT_EQ(run.log.Take(), (Lines{"Accepted ?THI:NAME", "CloseWindow"}));
    EXPECT_FALSE(w.Open());
}

TEST_F(Headless, FocusFollowsTabStopsAndBringsTabsForward) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    EXPECT_EQ(w.Focus(), "?THI:NAME");
    EXPECT_EQ(w.Control("?THI:NAME").tip, "Up to 10 characters");
    const int tab1 = w.Control("?TAB1").number, tab2 = w.Control("?TAB2").number;
    EXPECT_EQ(w.Choice("?SHEET"), tab1);

    w.Click("?LOC:NOTE");
    w.PressKey(wnd::kKeyTab);
    EXPECT_EQ(w.Focus(), "?LOC:OTHER");
    EXPECT_EQ(w.Choice("?SHEET"), tab2);  // the task brought the tab forward
    w.PressKey(wnd::kKeyShiftTab);
    EXPECT_EQ(w.Focus(), "?LOC:NOTE");
    EXPECT_EQ(w.Choice("?SHEET"), tab1);

    w.Click("?GOTAB2");
    w.PressKey(wnd::kKeyTab);
    EXPECT_EQ(w.Focus(), "?CANCEL");  // the hidden and the disabled button are no tab stops
    EXPECT_TRUE(w.Hidden("?HIDDEN"));
    EXPECT_FALSE(w.Enabled("?SPARE"));
    EXPECT_THROW(w.Press("?SPARE"), std::runtime_error);

    w.Press("?GOTAB2");  // the task selects a control on the tab that is not in front
    EXPECT_EQ(w.Focus(), "?LOC:OTHER");
    EXPECT_EQ(w.Choice("?SHEET"), tab2);
    run.log.Take();
}

TEST_F(Headless, AlertKeysReachTheTaskInsteadOfTheControlsOwnAction) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    w.PressKey(0x74);  // F5 on ?THI:NAME, alerted there
    w.Click("?THI:COUNT");
    w.PressKey(0x74);  // not alerted on ?THI:COUNT: nothing
    w.PressKey(wnd::kKeyEnter);  // alerted: no Accepted
    EXPECT_EQ(run.log.Take(), (Lines{"AlertKey ?THI:NAME F5", "AlertKey ?THI:COUNT Enter"}));

    w.Press("?NEST");
    auto child = user_.Find("Child window");
    child.PressKey(wnd::kKeyF12);  // a window-level key, whatever has the focus
    child.PressKey(wnd::kKeyEnter);  // aliased to Tab
    EXPECT_EQ(child.Focus(), "?LOC:MORE");
    child.Press("?CHILDOK");
    EXPECT_EQ(run.log.Take(), (Lines{"Accepted ?NEST", "child AlertKey ?LOC:VALUE F12", "child answered 1"}));
}

TEST_F(Headless, NestedWindowLeavesTheCallerInertAndReturns) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    w.Press("?NEST");
    auto child = user_.Find("Child");
    EXPECT_TRUE(w.Inert());
    EXPECT_FALSE(child.Inert());
    EXPECT_THROW(w.Press("?OK"), std::runtime_error);
    child.Fill("?LOC:VALUE", "-12345");
    EXPECT_FALSE(user_.HasMessage());
    child.Fill("?LOC:VALUE", "abc");
    ASSERT_TRUE(user_.HasMessage());
    user_.Answer(wnd::kButtonOk);
    EXPECT_EQ(child.Text("?LOC:VALUE"), "-12345");
    child.CloseBox();
    EXPECT_FALSE(child.Open());
    EXPECT_FALSE(w.Inert());
    EXPECT_EQ(run.log.Take(), (Lines{"Accepted ?NEST", "child answered 2"}));
    w.Press("?ASK");  // the caller's loop goes on
    user_.Answer(wnd::kButtonNo);
    EXPECT_EQ(run.log.Take(), (Lines{"Accepted ?ASK", "answer 4"}));
}

TEST_F(Headless, TwoThreadsRunIndependentlyAndAMessageBoxBlocksOnlyItsOwn) {
    ThingsRun& a = NewRun();
    ThingsRun& b = NewRun();
    auto wa = Start(a);
    auto wb = Start(b);
    ASSERT_NE(wa.id(), wb.id());
    wa.Fill("?THI:NAME", "Alpha");
    wb.Fill("?THI:NAME", "Beta");
    EXPECT_EQ(std::string(a.rec.name, 5), "Alpha");
    EXPECT_EQ(std::string(b.rec.name, 4), "Beta");

    wa.Press("?ASK");
    ASSERT_EQ(user_.Messages().size(), 1u);
    EXPECT_EQ(user_.Messages()[0].caption, "Ask");
    EXPECT_TRUE(wa.Inert());
    EXPECT_FALSE(wb.Inert());
    wb.Fill("?THI:COUNT", "5");  // the other thread still works
    wb.Press("?POP");
    ASSERT_EQ(user_.Popups().size(), 1u);
    user_.ChoosePopup("Two");
    EXPECT_EQ(b.log.Take(), (Lines{"Accepted ?THI:NAME", "Accepted ?THI:COUNT", "Accepted ?POP", "popup 2"}));
    EXPECT_EQ(b.rec.count, 5);
    EXPECT_EQ(a.log.Take(), (Lines{"Accepted ?THI:NAME", "Accepted ?ASK"}));

    user_.Answer(wnd::kButtonYes);
    EXPECT_EQ(a.log.Take(), Lines{"answer 2"});
    EXPECT_FALSE(wa.Inert());
    EXPECT_EQ(a.rec.count, 7);  // untouched by the other thread's form

    testing_support::CloseAllWindows([&] { user_.WaitIdle(); });
    EXPECT_EQ(user_.WindowCount(), 0u);
    EXPECT_EQ(a.log.Take(), Lines{"CloseDown"});
}

TEST_F(Headless, AcceptAllPassRunsThroughTheInputControls) {
    ThingsRun& run = NewRun();
    auto w = Start(run);
    EXPECT_EQ(w.Text("?LOC:REFILLS"), "0") << "a stored value outside the spin box's range is shown";
    w.Press("?OK");
    const Lines seen = run.log.Take();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "Accepted ?OK");
    EXPECT_EQ(seen[1], "Accepted ?THI:NAME");
    EXPECT_EQ(seen.back(), "Completed");
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Accepted ?LOC:OTHER"), 1);
    // ... and passes the pass untouched.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Accepted ?LOC:REFILLS"), 1);
    EXPECT_FALSE(user_.HasMessage());
    EXPECT_EQ(run.refills, 0);
    EXPECT_EQ(w.Text("?LOC:REFILLS"), "0");
}

TEST(HeadlessPresenter, AnUpdateAnsweringOlderInputIsDropped) {
    hl::HeadlessPresenter p;
    wnd::WindowState s;
    s.procedure = "P";
    wnd::ControlState c;
    c.number = 1;
    c.kind = wnd::ControlKind::Combo;
    s.controls.push_back(c);
    p.OpenWindow(9, 1, s, nullptr);
    for (int key = 0; key < 3; ++key) p.windows()[9].NextRevision(1);  // the user has typed three times
    p.SetText(9, 1, "answer to the 2nd key", 2);
    EXPECT_EQ(p.windows()[9].state.controls[0].text, "");
    p.SetText(9, 1, "answer to the 3rd key", 3);
    EXPECT_EQ(p.windows()[9].state.controls[0].text, "answer to the 3rd key");
}

}  // namespace
