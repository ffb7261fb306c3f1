#pragma once
// The Qt presenter: real windows on the process main thread.
//
// Task threads call the wnd::Presenter interface; every call copies its arguments and is queued to
// the GUI thread, so it returns at once. The GUI thread never blocks and runs no nested event loop:
// message boxes, popup menus, the page set-up and the print dialog are shown non-modal and answer
// through the question's sink. Modality is per thread: while a thread waits on a question or runs a
// nested window, its other windows take no input and every other thread's windows stay usable.
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/window/presenter.h"

class QWidget;

namespace qtp {

class GuiQueue;
class Screen;

class QtPresenter final : public wnd::Presenter {
public:
    // Made on the GUI thread, after the QApplication.
    QtPresenter();
    ~QtPresenter() override;  // on the GUI thread; later calls from task threads do nothing

    void OpenWindow(wnd::WindowId id, int thread, const wnd::WindowState& state,
                    std::shared_ptr<wnd::InputSink> sink) override;
    void CloseWindow(wnd::WindowId id) override;
    void UpdateWindow(wnd::WindowId id, const wnd::WindowState& state) override;
    void UpdateControl(wnd::WindowId id, const wnd::ControlState& control) override;
    void SetText(wnd::WindowId id, int control, const std::string& text, std::uint64_t answersRevision) override;
    void SetEntry(wnd::WindowId id, int control, const std::string& text, int selectFrom, int selectTo,
                  std::uint64_t answersRevision) override;
    void SetRows(wnd::WindowId id, int control, const std::vector<std::vector<std::string>>& rows) override;
    void SetFocus(wnd::WindowId id, int control) override;
    void SetInert(wnd::WindowId id, bool inert) override;
    void SetBusy(int thread, bool busy) override;
    void StartingTask(int thread) override;
    void Waiting(int thread, std::uint64_t received) override;
    void ShowStatus(const std::string& text) override;
    void PerformAction(wnd::WindowId id, int control, wnd::StdAction action) override;
    void AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;
    void AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;
    void SetPages(wnd::WindowId id, int control, std::shared_ptr<const wnd::PageSet> pages) override;
    void AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;

    // Desktop services, from any thread (queued like the rest).
    void SetClipboardText(const std::string& utf8) override;
    void OpenDocument(const std::string& urlOrPath) override;  // a web address, or a file to open with its program
    void ShowHelp(const wnd::HelpRequest& request) override;     // the help viewer, non-modal
    void TypeKey(wnd::WindowId id, int control, wnd::KeyCode key) override;

    // GUI thread only: the widgets behind a window, for tests and screenshots.
    Screen& screen();

private:
    template <typename F>
    void post(F&& f);

    std::mutex mutex_;
    std::unique_ptr<Screen> screen_;
    std::unique_ptr<GuiQueue> queue_;  // the calls queued to screen_
};

// Runs the program on the Qt presenter: makes the QApplication, installs the presenter, runs
// `program` on the program's first task thread, and ends the event loop once that thread and every
// task thread it started have ended. Returns the event loop's exit code.
int RunPresenter(int argc, char** argv, std::function<void()> program, std::size_t stackBytes = 0);

}  // namespace qtp
