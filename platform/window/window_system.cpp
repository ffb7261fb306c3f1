#include "platform/window/window_system.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include "platform/runtime/codepage.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"

namespace wnd {
namespace {

struct OpenEntry {
    std::weak_ptr<TaskQueue> queue;
    std::uint64_t order = 0;  // opening order: on one queue, the last opened is the innermost
};

// A close of every window but the owner's, under way.
struct Round {
    WindowHandle owner;  // id 0: the program has ended; every window, also one opened later, goes
    bool forced = false;
    std::set<WindowId> asked;
};

struct System {
    std::mutex mutex;
    std::shared_ptr<Presenter> presenter;
    std::map<WindowId, OpenEntry> open;
    std::uint64_t opened = 0;
    std::optional<Round> round;
};

System& sys() {
    static System s;
    return s;
}

std::atomic<std::uint64_t> nextId{1};

// The windows open on this thread, innermost last: only the innermost takes input.
thread_local std::vector<WindowId> tStack;

void setInert(WindowId id, bool inert) {
    if (auto p = CurrentPresenter()) p->SetInert(id, inert);
}

// Makes this thread's innermost window inert while a question is open.
struct QuestionScope {
    WindowId top = tStack.empty() ? 0 : tStack.back();
    QuestionScope() {
        if (top) setInert(top, true);
    }
    ~QuestionScope() {
        if (top) setInert(top, false);
    }
};

struct Delivery {
    std::shared_ptr<TaskQueue> queue;
    WindowId window = 0;
    Event event = Event::None;
};
using Deliveries = std::vector<Delivery>;

void deliver(const Deliveries& out) {
    for (const Delivery& d : out) d.queue->Post(d.window, d.event, 0);
}

// Asks each thread's innermost window that has not been asked yet; when no window but the owner's
// is left, hands the close back to the owner. With the system's mutex held; what it returns is
// posted once the mutex is released (a queue's own lock is never taken under it).
Deliveries advanceRound(System& s) {
    Deliveries out;
    if (!s.round) return out;
    Round& r = *s.round;
    struct Inner {
        std::uint64_t order = 0;
        WindowId id = 0;
        std::shared_ptr<TaskQueue> queue;
    };
    std::map<const TaskQueue*, Inner> inner;
    for (const auto& [id, entry] : s.open) {
        if (id == r.owner.id) continue;
        auto q = entry.queue.lock();
        if (!q) continue;
        Inner& slot = inner[q.get()];
        if (entry.order > slot.order) slot = Inner{entry.order, id, std::move(q)};
    }
    if (inner.empty()) {
        if (r.owner.id == 0) return out;  // the program's end: later windows are asked too
        if (auto q = r.owner.queue.lock()) out.push_back({std::move(q), r.owner.id, Event::CloseWindow});
        s.round.reset();
        return out;
    }
    if (r.forced) {
        // Nobody is asked anything: every thread's innermost window goes at once.
        for (auto& [queue, slot] : inner)
            if (r.asked.insert(slot.id).second) out.push_back({std::move(slot.queue), slot.id, Event::CloseDown});
        return out;
    }
    // One window at a time, across threads, since a window may ask the user before it goes: the
    // next is asked only once the one asked before has closed (a refusal ends the round). The
    // innermost window opened last goes first.
    // A window asked and still open is waited for, unless it opened a window of its own meanwhile:
    // that one (its thread's innermost now) is asked first.
    const Inner* next = nullptr;
    for (WindowId id : r.asked) {
        const auto it = s.open.find(id);
        if (id == r.owner.id || it == s.open.end()) continue;
        const auto q = it->second.queue.lock();
        const auto slot = q ? inner.find(q.get()) : inner.end();
        if (slot == inner.end() || r.asked.count(slot->second.id)) return out;
        next = &slot->second;
        break;
    }
    if (!next)
        for (const auto& [queue, slot] : inner)
            if (!r.asked.count(slot.id) && (!next || slot.order > next->order)) next = &slot;
    if (next) {
        r.asked.insert(next->id);
        out.push_back({next->queue, next->id, Event::CloseDown});
    }
    return out;
}

}  // namespace

void SetPresenter(std::shared_ptr<Presenter> presenter) {
    std::lock_guard lock(sys().mutex);
    sys().presenter = std::move(presenter);
}

std::shared_ptr<Presenter> CurrentPresenter() {
    std::lock_guard lock(sys().mutex);
    return sys().presenter;
}

bool WindowHandle::Post(Event event, int control) const {
    auto q = queue.lock();
    if (!q || id == 0) return false;
    return q->Post(id, event, control);
}

void CloseOtherWindows(const WindowHandle& owner, bool forced) {
    Deliveries out;
    {
        std::lock_guard lock(sys().mutex);
        System& s = sys();
        if (!s.round || s.round->owner.id != owner.id) s.round = Round{owner, forced, {}};
        s.round->forced = s.round->forced || forced;
        out = advanceRound(s);
    }
    deliver(out);
}

void StopClosingWindows() {
    std::lock_guard lock(sys().mutex);
    sys().round.reset();
}

bool OtherWindowsOpen(WindowId owner) {
    std::lock_guard lock(sys().mutex);
    for (const auto& [id, entry] : sys().open)
        if (id != owner) return true;
    return false;
}

bool ForcedToClose(WindowId window) {
    std::lock_guard lock(sys().mutex);
    const auto& r = sys().round;
    return r && r->forced && window != r->owner.id;
}

unsigned Message(std::string_view text, std::string_view caption, MessageIcon icon, unsigned buttons,
                 unsigned defaultButton) {
    MessageQuestion q;
    q.id = nextId++;
    q.thread = rt::CurrentThreadNumber();
    q.window = tStack.empty() ? 0 : tStack.back();
    q.caption = rt::cp1252ToUtf8(caption);
    q.text = rt::cp1252ToUtf8(text);
    q.icon = icon;
    q.buttons = buttons ? buttons : kButtonOk;
    q.defaultButton = (defaultButton & q.buttons) ? defaultButton : (q.buttons & (~q.buttons + 1));
    auto presenter = CurrentPresenter();
    if (!presenter) return q.defaultButton;
    auto queue = ThisThreadQueue();
    QuestionScope scope;
    presenter->AskMessage(q, queue);
    const unsigned answer = static_cast<unsigned>(queue->TakeAnswer(q.id).answer);
    return (answer & q.buttons) ? answer : q.defaultButton;  // a presenter cannot press a button that is not there
}

bool Print(std::shared_ptr<const PageSet> pages, std::vector<int> selection, std::string folder) {
    PrintQuestion q;
    q.id = nextId++;
    q.thread = rt::CurrentThreadNumber();
    q.window = tStack.empty() ? 0 : tStack.back();
    q.pages = std::move(pages);
    q.selection = std::move(selection);
    q.folder = std::move(folder);
    auto presenter = CurrentPresenter();
    if (!presenter || !q.pages) return false;
    auto queue = ThisThreadQueue();
    QuestionScope scope;
    presenter->AskPrint(q, queue);
    return queue->TakeAnswer(q.id).answer == 1;
}

int Popup(std::string_view items, const std::vector<std::string>& icons, int atList) {
    PopupQuestion q;
    q.icons = icons;
    q.control = atList;
    q.id = nextId++;
    q.thread = rt::CurrentThreadNumber();
    q.window = tStack.empty() ? 0 : tStack.back();
    int choices = 0;
    for (std::size_t start = 0; start <= items.size();) {
        std::size_t bar = items.find('|', start);
        if (bar == std::string_view::npos) bar = items.size();
        q.items.push_back(rt::cp1252ToUtf8(items.substr(start, bar - start)));
        if (q.items.back() != "-") ++choices;
        start = bar + 1;
    }
    auto presenter = CurrentPresenter();
    if (!presenter) return 0;
    auto queue = ThisThreadQueue();
    // No QuestionScope: a popup menu holds its window's input in the presenter, and the window
    // keeps its look under the menu (greyed, a whole list would seem disabled for its sake).
    presenter->AskPopup(q, queue);
    const int answer = queue->TakeAnswer(q.id).answer;
    return answer >= 1 && answer <= choices ? answer : 0;
}

namespace detail {

WindowId NewWindowId() { return nextId++; }

void WindowOpened(WindowId id, const std::shared_ptr<TaskQueue>& queue) {
    Deliveries out;
    {
        std::lock_guard lock(sys().mutex);
        System& s = sys();
        s.open[id] = OpenEntry{queue, ++s.opened};
        out = advanceRound(s);  // a window opened while the others close is asked as well
    }
    if (!tStack.empty()) setInert(tStack.back(), true);
    tStack.push_back(id);
    deliver(out);
}

void WindowClosed(WindowId id) {
    Deliveries out;
    {
        std::lock_guard lock(sys().mutex);
        System& s = sys();
        s.open.erase(id);
        if (s.round && s.round->owner.id == id) s.round.reset();
        else out = advanceRound(s);  // the window it was nested in is asked next
    }
    const bool wasTop = !tStack.empty() && tStack.back() == id;
    std::erase(tStack, id);
    if (wasTop && !tStack.empty()) setInert(tStack.back(), false);
    deliver(out);
}

void CloseDownRefused(WindowId id) {
    std::lock_guard lock(sys().mutex);
    System& s = sys();
    if (s.round && !s.round->forced && s.round->owner.id != 0 && s.round->asked.count(id)) s.round.reset();
}

}  // namespace detail

}  // namespace wnd
