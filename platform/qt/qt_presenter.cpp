#include "platform/qt/qt_presenter.h"

#include "platform/qt/gui_queue.h"
#include "platform/qt/screen.h"

namespace qtp {

QtPresenter::QtPresenter() : screen_(std::make_unique<Screen>()), queue_(std::make_unique<GuiQueue>()) {}

QtPresenter::~QtPresenter() {
    std::lock_guard lock(mutex_);
    queue_.reset();  // pending calls are discarded with it, before the screen they call goes
    screen_.reset();
}

Screen& QtPresenter::screen() { return *screen_; }

template <typename F>
void QtPresenter::post(F&& f) {
    std::lock_guard lock(mutex_);
    Screen* s = screen_.get();
    if (!s) return;
    queue_->Post([s, f = std::forward<F>(f)]() mutable { f(*s); });
}

void QtPresenter::OpenWindow(wnd::WindowId id, int thread, const wnd::WindowState& state,
                             std::shared_ptr<wnd::InputSink> sink) {
    post([id, thread, state, sink = std::move(sink)](Screen& s) mutable { s.OpenWindow(id, thread, state, std::move(sink)); });
}

void QtPresenter::CloseWindow(wnd::WindowId id) {
    post([id](Screen& s) { s.CloseWindow(id); });
}

void QtPresenter::UpdateWindow(wnd::WindowId id, const wnd::WindowState& state) {
    post([id, state](Screen& s) { s.UpdateWindow(id, state); });
}

void QtPresenter::UpdateControl(wnd::WindowId id, const wnd::ControlState& control) {
    post([id, control](Screen& s) { s.UpdateControl(id, control); });
}

void QtPresenter::SetText(wnd::WindowId id, int control, const std::string& text, std::uint64_t answersRevision) {
    post([id, control, text, answersRevision](Screen& s) { s.SetText(id, control, text, answersRevision); });
}

void QtPresenter::SetEntry(wnd::WindowId id, int control, const std::string& text, int selectFrom, int selectTo,
                           std::uint64_t answersRevision) {
    post([id, control, text, selectFrom, selectTo, answersRevision](Screen& s) {
        s.SetEntry(id, control, text, selectFrom, selectTo, answersRevision);
    });
}

void QtPresenter::SetRows(wnd::WindowId id, int control, const std::vector<std::vector<std::string>>& rows) {
    post([id, control, rows](Screen& s) { s.SetRows(id, control, rows); });
}

void QtPresenter::SetFocus(wnd::WindowId id, int control) {
    post([id, control](Screen& s) { s.SetFocus(id, control); });
}

void QtPresenter::SetInert(wnd::WindowId id, bool inert) {
    post([id, inert](Screen& s) { s.SetInert(id, inert); });
}

void QtPresenter::SetBusy(int thread, bool busy) {
    post([thread, busy](Screen& s) { s.SetBusy(thread, busy); });
}

void QtPresenter::Waiting(int thread, std::uint64_t received) {
    post([thread, received](Screen& s) { s.Waiting(thread, received); });
}

void QtPresenter::StartingTask(int thread) {
    post([thread](Screen& s) { s.StartingTask(thread); });
}

void QtPresenter::ShowStatus(const std::string& text) {
    post([text](Screen& s) { s.ShowStatus(text); });
}

void QtPresenter::PerformAction(wnd::WindowId id, int control, wnd::StdAction action) {
    post([id, control, action](Screen& s) { s.PerformAction(id, control, action); });
}

void QtPresenter::AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    post([question, sink = std::move(sink)](Screen& s) mutable { s.AskMessage(question, std::move(sink)); });
}

void QtPresenter::AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    post([question, sink = std::move(sink)](Screen& s) mutable { s.AskPopup(question, std::move(sink)); });
}

void QtPresenter::SetPages(wnd::WindowId id, int control, std::shared_ptr<const wnd::PageSet> pages) {
    post([id, control, pages = std::move(pages)](Screen& s) mutable { s.SetPages(id, control, std::move(pages)); });
}

void QtPresenter::AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink) {
    post([question, sink = std::move(sink)](Screen& s) mutable { s.AskPrint(question, std::move(sink)); });
}

void QtPresenter::SetClipboardText(const std::string& utf8) {
    post([utf8](Screen& s) { s.SetClipboardText(utf8); });
}

void QtPresenter::OpenDocument(const std::string& urlOrPath) {
    post([urlOrPath](Screen& s) { s.OpenDocument(urlOrPath); });
}

void QtPresenter::ShowHelp(const wnd::HelpRequest& request) {
    post([request](Screen& s) { s.ShowHelp(request); });
}

void QtPresenter::TypeKey(wnd::WindowId id, int control, wnd::KeyCode key) {
    post([id, control, key](Screen& s) { s.TypeKey(id, control, key); });
}

}  // namespace qtp
