#pragma once
// A presenter that draws nothing: it keeps what the task side sent (windows, control states, texts,
// rows, focus, questions) so that a ScriptedUser can read it and act on it. Thread-safe; every
// call returns at once.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/window/input_hold.h"
#include "platform/window/input_mirror.h"
#include "platform/window/presenter.h"

namespace hl {

// One window: the input protocol's mirror of it (id, state, revisions, typed controls, focus
// commands) and what only this presenter keeps.
struct HeadlessWindow : wnd::InputMirror {
    int thread = 0;
    std::uint64_t order = 0;                      // opening order
    std::shared_ptr<wnd::InputSink> sink;
    bool inert = false;
    std::map<int, std::vector<std::vector<std::string>>> rows;
    std::map<int, std::pair<int, int>> selection; // an entry's selected characters [from, to); the caret at `to`
    std::map<int, std::shared_ptr<const wnd::PageSet>> pages;  // what each preview control shows
    std::vector<std::string> notes;               // what the window told the user by itself (a refused character)
};

struct PendingMessage {
    wnd::MessageQuestion question;
    std::shared_ptr<wnd::InputSink> sink;
};

struct PendingPopup {
    wnd::PopupQuestion question;
    std::shared_ptr<wnd::InputSink> sink;
};

struct PendingPrint {
    wnd::PrintQuestion question;
    std::shared_ptr<wnd::InputSink> sink;
};

class HeadlessPresenter final : public wnd::Presenter {
public:
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
    void ShowStatus(const std::string& text) override;
    void PerformAction(wnd::WindowId id, int control, wnd::StdAction action) override;
    void AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;
    void AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;
    void SetPages(wnd::WindowId id, int control, std::shared_ptr<const wnd::PageSet> pages) override;
    void AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink) override;
    void ShowHelp(const wnd::HelpRequest& request) override;
    void OpenDocument(const std::string& urlOrPath) override;
    void SetClipboardText(const std::string& utf8) override;
    void TypeKey(wnd::WindowId id, int control, wnd::KeyCode key) override;
    void Waiting(int thread, std::uint64_t received) override;
    void StartingTask(int thread) override;

    // What the ScriptedUser works on. Hold the lock while touching the state.
    std::mutex& mutex() { return mutex_; }
    std::map<wnd::WindowId, HeadlessWindow>& windows() { return windows_; }
    std::vector<PendingMessage>& messages() { return messages_; }
    std::vector<PendingPopup>& popups() { return popups_; }
    std::vector<PendingPrint>& prints() { return prints_; }
    // Standard actions performed, as "<procedure> <use> <action>".
    std::vector<std::string>& actions() { return actions_; }
    std::map<int, bool>& busy() { return busy_; }
    // Every status note shown, in order ("" when it was cleared).
    std::vector<std::string>& statuses() { return statuses_; }
    // The desktop requests, in the order they came.
    std::vector<wnd::HelpRequest>& helpRequests() { return help_; }
    std::vector<std::string>& documents() { return documents_; }
    std::string& clipboard() { return clipboard_; }
    // Keys typed ahead: which threads' windows take no input yet, and the signal that a hold ended.
    wnd::InputHold& hold() { return hold_; }
    std::condition_variable& holdEnded() { return holdEnded_; }

private:
    HeadlessWindow* find(wnd::WindowId id);

    std::mutex mutex_;
    std::uint64_t opened_ = 0;
    std::map<wnd::WindowId, HeadlessWindow> windows_;
    std::vector<PendingMessage> messages_;
    std::vector<PendingPopup> popups_;
    std::vector<PendingPrint> prints_;
    std::vector<std::string> actions_;
    std::map<int, bool> busy_;
    std::vector<std::string> statuses_;
    std::vector<wnd::HelpRequest> help_;
    std::vector<std::string> documents_;
    std::string clipboard_;
    wnd::InputHold hold_;
    std::condition_variable holdEnded_;
};

}  // namespace hl
