#include "platform/window/window_system.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/runtime/codepage.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"

namespace wnd {
namespace {

struct System {
    std::mutex mutex;
    std::shared_ptr<Presenter> presenter;
    std::map<WindowId, std::weak_ptr<TaskQueue>> open;
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

void PostToAllWindows(Event event) {
    std::vector<std::pair<WindowId, std::shared_ptr<TaskQueue>>> targets;
    {
        std::lock_guard lock(sys().mutex);
        for (const auto& [id, weak] : sys().open)
            if (auto q = weak.lock()) targets.emplace_back(id, std::move(q));
    }
    for (const auto& [id, q] : targets) q->Post(id, event, 0);
}

std::size_t OpenWindowCount() {
    std::lock_guard lock(sys().mutex);
    return sys().open.size();
}

unsigned Message(std::string_view text, std::string_view caption, MessageIcon icon, unsigned buttons,
                 unsigned defaultButton) {
    MessageQuestion q;
    q.id = nextId++;
    q.thread = rt::CurrentThreadNumber();
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

bool Print(std::shared_ptr<const PageSet> pages, std::vector<int> selection) {
    PrintQuestion q;
    q.id = nextId++;
    q.thread = rt::CurrentThreadNumber();
    q.window = tStack.empty() ? 0 : tStack.back();
    q.pages = std::move(pages);
    q.selection = std::move(selection);
    auto presenter = CurrentPresenter();
    if (!presenter || !q.pages) return false;
    auto queue = ThisThreadQueue();
    QuestionScope scope;
    presenter->AskPrint(q, queue);
    return queue->TakeAnswer(q.id).answer == 1;
}

int Popup(std::string_view items, const std::vector<std::string>& icons) {
    PopupQuestion q;
    q.icons = icons;
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
    QuestionScope scope;
    presenter->AskPopup(q, queue);
    const int answer = queue->TakeAnswer(q.id).answer;
    return answer >= 1 && answer <= choices ? answer : 0;
}

namespace detail {

WindowId NewWindowId() { return nextId++; }

void WindowOpened(WindowId id, const std::shared_ptr<TaskQueue>& queue) {
    {
        std::lock_guard lock(sys().mutex);
        sys().open[id] = queue;
    }
    if (!tStack.empty()) setInert(tStack.back(), true);
    tStack.push_back(id);
}

void WindowClosed(WindowId id) {
    {
        std::lock_guard lock(sys().mutex);
        sys().open.erase(id);
    }
    const bool wasTop = !tStack.empty() && tStack.back() == id;
    std::erase(tStack, id);
    if (wasTop && !tStack.empty()) setInert(tStack.back(), false);
}

}  // namespace detail

}  // namespace wnd
