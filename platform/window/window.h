#pragma once
// A window as its procedure sees it: built from a stored layout, its controls bound to use
// variables, shown through the presenter, driven by its event loop on the procedure's thread.
//
//     wnd::Window w("BrowseThings", "P1$QUICKWINDOW");
//     w.BindRecord(ThingsTable, &THI);
//     w.Open();
//     while (w.Accept()) {
//         if (w.event() == wnd::Event::Accepted && w.control() == w.Find("?OK")) w.Post(wnd::Event::CloseWindow);
//     }
//
// All calls belong to the window's own thread, except handle().Post, which any thread may use.
// Texts are single-byte (Windows-1252); the presenter sees UTF-8.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/picture.h"
#include "platform/runtime/record_layout.h"
#include "platform/window/control.h"
#include "platform/window/events.h"
#include "platform/window/layout.h"
#include "platform/window/page_set.h"
#include "platform/window/use_variable.h"
#include "platform/window/window_system.h"

namespace wnd {

class TaskQueue;

class Window {
public:
    // From a registered layout; throws std::runtime_error when there is none.
    Window(std::string_view procedure, std::string_view label);
    explicit Window(const WindowLayout& layout);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // --- Use variables -----------------------------------------------------------------------
    // Binds every control whose variable is `name` (any case). Returns how many.
    int Bind(std::string_view name, UseVariable var);
    // Binds every control whose variable names a field of the table ("PRE:DRUGNAME", or with a
    // trailing ":2" after the field name for a second control on the same field).
    int BindRecord(const rt::TableDesc& table, void* record);
    // Shows the current values of the use variables (all controls, or one).
    void Display(int control = 0);

    // --- Opening, closing, the event loop -----------------------------------------------------
    void Open();   // shown; the first Accept answers OpenWindow. A window opened while another of
                   // this thread is open makes that one inert until this one closes.
    void Close();  // also done by the destructor
    bool isOpen() const { return open_; }
    WindowId id() const { return id_; }
    WindowHandle handle() const;

    // Waits for the next event; false when the loop is over (the window was asked to close and
    // the event was not cancelled, or it is not open).
    bool Accept();
    Event event() const { return event_; }
    int control() const { return eventControl_; }  // 0 for a window event
    KeyCode keyCode() const { return key_; }
    // For a mouse key alerted on a list: the row and column under the pointer (row 0: the header).
    int pointerRow() const { return pointerRow_; }
    int pointerColumn() const { return pointerColumn_; }
    // For Scrolled: where the user put the thumb (0..100).
    int thumb() const { return thumb_; }
    // For Typed: characters before the caret in the entry (the entry is control(n).text).
    int caret() const { return caret_; }
    // In answer to CloseWindow or CloseDown: the window stays open and the loop goes on. Refusing
    // a CloseDown ends the close of the other windows it belonged to; a forced one cannot be refused.
    void CancelClose();
    // Puts an event for this window at the end of its thread's queue.
    void Post(Event event, int control = 0);
    // The accept-all pass: Accepted for every input control that can take input, in control
    // order, then Completed. Selecting a control during the pass ends it without Completed.
    void AcceptAll();
    bool inAcceptAll() const { return acceptAll_ != 0; }

    // --- Controls --------------------------------------------------------------------------------
    const WindowState& state() const { return state_; }
    const ControlState& control(int number) const;  // throws std::out_of_range
    int Find(std::string_view use) const { return state_.controlByUse(use); }
    int FirstControl() const { return state_.controls.empty() ? 0 : 1; }
    int LastControl() const { return static_cast<int>(state_.controls.size()); }
    bool Has(int number) const { return state_.control(number) != nullptr; }

    void SetText(int control, std::string_view text);  // caption, prompt, or the shown value
    void SetHidden(int control, bool hidden);
    void SetDisabled(int control, bool disabled);
    void SetReadOnly(int control, bool readOnly);
    void SetDefault(int control, bool isDefault);
    void SetImmediate(int control, bool immediate);  // a combo reports each keystroke (Typed)
    void SetIcon(int control, std::string_view icon);
    void SetTip(int control, std::string_view tip);
    void SetMessage(int control, std::string_view message);
    void SetHelp(int control, std::string_view topic);
    void SetStd(int control, StdAction action);
    void SetPosition(int control, Rect at);
    void SetFormat(int control, std::string_view format);
    // Text colour 0xRRGGBB (anything above 0xFFFFFF but kDefaultColour throws std::out_of_range);
    // ClearColour gives the control back the presenter's own colour.
    void SetColour(int control, std::uint32_t rgb);
    void ClearColour(int control) { SetColour(control, kDefaultColour); }
    void SetPicture(int control, std::string_view picture);  // false-free: a bad picture throws
    void SetAlert(int control, int position, KeyCode key);   // position 1..255; key 0 clears
    KeyCode alert(int control, int position) const;
    void SetChoice(int control, int row);  // list row, or a sheet's tab (the tab's control number)
    void SetThumb(int control, int thumb);  // a paged list's scroll thumb, 0..100
    void SetRows(int control, std::vector<std::vector<std::string>> rows);
    // The pages a preview control shows (texts already UTF-8); which and how large: its choice,
    // pagesAcross, pagesDown and zoom (SetPreview).
    void SetPages(int control, std::shared_ptr<const PageSet> pages);
    void SetPreview(int control, int firstPage, int across, int down, int zoom);
    // The answer to a Typed keystroke: the entry shows text with [selectFrom, selectTo) selected.
    // It answers the latest keystroke the window has taken; an older answer never overwrites
    // what the user typed since. The use variable is left as it is.
    void ShowEntry(int control, std::string_view text, int selectFrom, int selectTo);
    const std::vector<std::vector<std::string>>& rows(int control) const;
    // A control made at run time, numbered after the last; parent 0 for none. Returns its number.
    int Create(ControlKind kind, std::string_view use, int parent = 0, std::string_view text = "", Rect at = {});

    void SetCaption(std::string_view caption);
    void SetTimer(int hundredths);
    void AlertWindowKey(KeyCode key);
    void AddAlias(KeyCode typed, KeyCode actsAs);

    // --- Focus ---------------------------------------------------------------------------------
    int focus() const { return state_.focus; }
    // Gives control the focus (a control on a tab that is not in front brings its tab forward)
    // and posts Selected for it.
    void Select(int control);
    int NextTabStop() const { return wnd::NextTabStop(state_, state_.focus, true); }
    int PrevTabStop() const { return wnd::NextTabStop(state_, state_.focus, false); }

    void SetBusy(bool busy);

private:
    struct Binding {
        std::string var;
        UseVariable use;
        std::optional<rt::Picture> picture;
        std::string trueValue, falseValue, value;
        std::vector<std::vector<std::string>> rows;
        std::shared_ptr<const PageSet> pages;
        std::uint64_t seenRevision = 0;
    };

    ControlState& at(int number);
    void SendControl(int number);
    void SendWindow();
    void SendText(int number);
    void SendRows(int number);
    void ShowValue(int number);
    void BringTabForward(int number);
    void ResolvePicture(int number);
    // Turns one queued item into an event; false when it gives none.
    bool Translate(const struct QueueItem& item);
    bool TakeInput(int number, const std::string& utf8, std::uint64_t revision);
    void Refuse(int number, const std::string& why);
    bool NextAcceptAll();

    WindowId id_;
    WindowState state_;
    std::vector<Binding> binds_;  // binds_[i] belongs to control i + 1
    std::shared_ptr<TaskQueue> queue_;
    bool open_ = false;
    bool opened_ = false;     // OpenWindow has been answered
    bool closing_ = false;    // CloseWindow or CloseDown answered and not cancelled
    int acceptAll_ = 0;       // next control of the accept-all pass; 0 none
    bool refused_ = false;    // the input being taken was refused (a Rejected event follows)
    std::uint64_t stalePresses_ = 0;  // presses received up to this queue seq came before a refusal
    Event event_ = Event::None;
    int eventControl_ = 0;
    KeyCode key_ = 0;
    int pointerRow_ = 0, pointerColumn_ = 0, thumb_ = 0, caret_ = 0;
    std::chrono::steady_clock::time_point nextTimer_;
    std::uint64_t focusCommands_ = 0;  // SetFocus calls sent to the presenter
};

}  // namespace wnd
