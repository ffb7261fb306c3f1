#include "platform/headless/headless_presenter.h"

namespace hl {

HeadlessWindow* HeadlessPresenter::find(wnd::WindowId id) {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

void HeadlessPresenter::OpenWindow(wnd::WindowId id, int thread, const wnd::WindowState& state,
                                   std::shared_ptr<wnd::InputSink> sink) {
    std::lock_guard lock(mutex_);
    HeadlessWindow w;
    w.id = id;
    w.thread = thread;
    w.order = ++opened_;
    w.state = state;
    w.sink = std::move(sink);
    windows_[id] = std::move(w);
}

void HeadlessPresenter::CloseWindow(wnd::WindowId id) {
    std::lock_guard lock(mutex_);
    windows_.erase(id);
}

void HeadlessPresenter::UpdateWindow(wnd::WindowId id, const wnd::WindowState& state) {
    std::lock_guard lock(mutex_);
    if (HeadlessWindow* w = find(id)) w->TakeWindow(state);
}

void HeadlessPresenter::UpdateControl(wnd::WindowId id, const wnd::ControlState& control) {
    std::lock_guard lock(mutex_);
    if (HeadlessWindow* w = find(id)) w->TakeControl(control);
}

void HeadlessPresenter::SetText(wnd::WindowId id, int control, const std::string& text, std::uint64_t answersRevision) {
    std::lock_guard lock(mutex_);
    HeadlessWindow* w = find(id);
    if (w && w->TakeText(control, text, answersRevision)) w->selection.erase(control);
}

void HeadlessPresenter::SetEntry(wnd::WindowId id, int control, const std::string& text, int selectFrom, int selectTo,
                                 std::uint64_t answersRevision) {
    std::lock_guard lock(mutex_);
    HeadlessWindow* w = find(id);
    if (w && w->TakeEntry(control, text, answersRevision)) w->selection[control] = {selectFrom, selectTo};
}

void HeadlessPresenter::SetRows(wnd::WindowId id, int control, const std::vector<std::vector<std::string>>& rows) {
    std::lock_guard lock(mutex_);
    if (HeadlessWindow* w = find(id)) w->rows[control] = rows;
}

void HeadlessPresenter::SetFocus(wnd::WindowId id, int control) {
    std::shared_ptr<wnd::InputSink> sink;
    std::optional<wnd::InputEvent> accepted;
    {
        std::lock_guard lock(mutex_);
        HeadlessWindow* w = find(id);
        if (!w) return;
        accepted = w->FocusCommand(control);
        sink = w->sink;
    }
    if (accepted && sink) sink->Deliver(std::move(*accepted));
}

void HeadlessPresenter::SetInert(wnd::WindowId id, bool inert) {
    std::lock_guard lock(mutex_);
    if (HeadlessWindow* w = find(id)) w->inert = inert;
}

void HeadlessPresenter::ShowStatus(const std::string& text) {
    std::lock_guard lock(mutex_);
    statuses_.push_back(text);
}

void HeadlessPresenter::SetBusy(int thread, bool busy) {
    std::lock_guard lock(mutex_);
    busy_[thread] = busy;
}

void HeadlessPresenter::PerformAction(wnd::WindowId id, int control, wnd::StdAction action) {
    std::lock_guard lock(mutex_);
    HeadlessWindow* w = find(id);
    std::string entry = w ? w->state.procedure : std::string("?");
    if (w && w->state.control(control)) entry += " " + w->state.controls[static_cast<std::size_t>(control - 1)].use;
    actions_.push_back(entry + " " + std::string(wnd::StdActionName(action)));
}

void HeadlessPresenter::AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    std::lock_guard lock(mutex_);
    messages_.push_back(PendingMessage{question, std::move(sink)});
}

void HeadlessPresenter::AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    std::lock_guard lock(mutex_);
    popups_.push_back(PendingPopup{question, std::move(sink)});
}

void HeadlessPresenter::SetPages(wnd::WindowId id, int control, std::shared_ptr<const wnd::PageSet> pages) {
    std::lock_guard lock(mutex_);
    if (HeadlessWindow* w = find(id)) w->pages[control] = std::move(pages);
}

void HeadlessPresenter::AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    std::lock_guard lock(mutex_);
    prints_.push_back(PendingPrint{question, std::move(sink)});
}

void HeadlessPresenter::ShowHelp(const wnd::HelpRequest& request) {
    std::lock_guard lock(mutex_);
    help_.push_back(request);
}

void HeadlessPresenter::OpenDocument(const std::string& urlOrPath) {
    std::lock_guard lock(mutex_);
    documents_.push_back(urlOrPath);
}

void HeadlessPresenter::SetClipboardText(const std::string& utf8) {
    std::lock_guard lock(mutex_);
    clipboard_ = utf8;
}

void HeadlessPresenter::TypeKey(wnd::WindowId id, int control, wnd::KeyCode key) {
    std::lock_guard lock(mutex_);
    HeadlessWindow* w = find(id);
    if (!w || !w->state.control(control)) return;
    const wnd::ControlState& c = w->state.controls[static_cast<std::size_t>(control - 1)];
    const bool lineBreak = (key & ~wnd::kShift) == wnd::kKeyEnter;
    if (!lineBreak || c.kind != wnd::ControlKind::Text || c.single || c.readOnly) return;
    // No caret here: the line break goes at the end, as the user's Enter does (a full box keeps it out).
    const wnd::KeptInput kept = w->Limit(control, c.text + "\n");
    if (kept.text != c.text) w->Edited(control, kept.text);
}

void HeadlessPresenter::Waiting(int thread, std::uint64_t received) {
    std::lock_guard lock(mutex_);
    if (hold_.Waiting(thread, received)) holdEnded_.notify_all();
}

void HeadlessPresenter::StartingTask(int thread) {
    std::lock_guard lock(mutex_);
    hold_.StartingTask(thread);
}

}  // namespace hl
