// The close of every other window that an owning window (the frame) asks for before it closes
// itself: windows on task threads of their own, driven through the headless presenter.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/scripted_user.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window.h"
#include "window/thing_record.h"
#include "support/close_all_windows.h"

namespace {

using wnd::Event;
using Lines = std::vector<std::string>;

struct Shared {
    std::mutex mutex;
    Lines log;
    std::set<std::string> refusing;  // keepers that cancel the CloseDown they are asked with
    std::set<std::string> opening;   // keepers that open a nested window when asked, before closing
    bool forced = false;

    void Add(std::string line) {
        std::lock_guard lock(mutex);
        log.push_back(std::move(line));
    }
    bool In(const std::set<std::string>& set, const std::string& name) {
        std::lock_guard lock(mutex);
        return set.count(name) != 0;
    }
    // The lines of the keepers whose names start with `prefix`, in their order.
    Lines Of(const std::string& prefix) {
        std::lock_guard lock(mutex);
        Lines out;
        for (const std::string& l : log)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
};

// A window that answers CloseDown; Nest opens another one nested on its thread.
void Keeper(Shared& s, const std::string& name) {
    {
        wnd::Window w("Things", "P1$WINDOW");
        w.Open();
        while (w.Accept()) {
            if (w.event() == Event::CloseDown) {
                s.Add(name + " asked");
                if (s.In(s.opening, name)) Keeper(s, name + ">late");
                if (s.In(s.refusing, name)) {
                    s.Add(name + " refuses");
                    w.CancelClose();
                }
            }
            if (w.event() == Event::Accepted && w.control() == w.Find("?NEST")) Keeper(s, name + ">inner");
        }
    }
    s.Add(name + " closed");
}

// The owner: asked to close, it has the others asked first and stays until none is left.
void Owner(Shared& s) {
    {
        wnd::Window w("Child", "P1$WINDOW");
        w.Open();
        while (w.Accept()) {
            if (w.event() != Event::CloseWindow || !wnd::OtherWindowsOpen(w.id())) continue;
            wnd::CloseOtherWindows(w.handle(), s.forced);
            w.CancelClose();
        }
    }
    s.Add("owner closed");
}

class CloseRound : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(wtest::TestLayoutsReady(&error)) << error;
        wnd::SetPresenter(presenter_);
    }
    void TearDown() override {
        {
            std::lock_guard lock(shared_.mutex);
            shared_.refusing.clear();
        }
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
    }

    Shared shared_;
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

TEST_F(CloseRound, InnermostFirstARefusalKeepsTheOwnerAForcedRoundCannotBeRefused) {
    const struct Case {
        const char* what;
        bool forced;
        std::set<std::string> refusing, opening;
        Lines a, b;
        bool ownerCloses;
    } cases[] = {
        {"all agree", false, {}, {},
         {"a>inner asked", "a>inner closed", "a asked", "a closed"}, {"b asked", "b closed"}, true},
        {"the inner one refuses", false, {"a>inner"}, {},
         {"a>inner asked", "a>inner refuses"}, {"b asked", "b closed"}, false},
        {"forced, the inner one refuses", true, {"a>inner"}, {},
         {"a>inner asked", "a>inner refuses", "a>inner closed", "a asked", "a closed"}, {"b asked", "b closed"}, true},
        {"a window opened while closing", false, {}, {"a"},
         {"a>inner asked", "a>inner closed", "a asked", "a>late asked", "a>late closed", "a closed"},
         {"b asked", "b closed"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            std::lock_guard lock(shared_.mutex);
            shared_.log.clear();
            shared_.refusing = c.refusing;
            shared_.opening = c.opening;
            shared_.forced = c.forced;
        }
        ASSERT_NE(wnd::StartTask([this] { Owner(shared_); }, 0), 0);
        auto owner = user_.Find("Child");
        ASSERT_NE(wnd::StartTask([this] { Keeper(shared_, "a"); }, 0), 0);
        user_.Find("Things").Press("?NEST");
        ASSERT_NE(wnd::StartTask([this] { Keeper(shared_, "b"); }, 0), 0);
        user_.WaitIdle();

        owner.CloseBox();
        EXPECT_EQ(shared_.Of("a"), c.a);
        EXPECT_EQ(shared_.Of("b"), c.b);
        EXPECT_EQ(owner.Open(), !c.ownerCloses);
        // The round is over either way: a window opened now is not asked to close.
        const auto openedAfter = [&] {
            ASSERT_NE(wnd::StartTask([this] { Keeper(shared_, "later"); }, 0), 0);
            user_.WaitIdle();
            EXPECT_EQ(shared_.Of("later"), Lines{}) << "the round is over";
        };
        if (c.ownerCloses) {
            EXPECT_EQ(shared_.Of("owner"), Lines{"owner closed"});
            EXPECT_EQ(user_.WindowCount(), 0u);
            openedAfter();
            user_.Find("Things").CloseBox();
            EXPECT_EQ(user_.WindowCount(), 0u);
            continue;
        }
        // Those that refused still stand; asked again once they agree, everything closes.
        EXPECT_EQ(user_.WindowCount(), 3u);
        openedAfter();
        {
            std::lock_guard lock(shared_.mutex);
            shared_.refusing.clear();
            shared_.log.clear();
        }
        owner.CloseBox();
        EXPECT_EQ(shared_.Of("a"), (Lines{"a>inner asked", "a>inner closed", "a asked", "a closed"}));
        EXPECT_FALSE(owner.Open());
        EXPECT_EQ(user_.WindowCount(), 0u);
    }
}

}  // namespace
