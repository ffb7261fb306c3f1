#pragma once
// The boundary between task threads and the presenter (the thread that draws windows and reads the
// user). Nothing else crosses it.
//
// Task -> presenter: the calls of Presenter. Each returns at once; a presenter copies what it needs
// and never calls back into the task side while being called. All texts are UTF-8 here (the task
// side holds single-byte text and converts at this boundary).
// Presenter -> task: InputEvents, delivered to the InputSink that came with the window or question.
// Deliver never blocks for long and may be called from any thread.
//
// Questions (message boxes, popup menus) are asked with an id and a sink; the asking task thread
// waits on its own queue for the Answer with that id, so only that thread blocks.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/control.h"
#include "platform/window/page_set.h"

namespace wnd {

using WindowId = std::uint64_t;  // process-unique, never reused
using QuestionId = std::uint64_t;

struct InputEvent {
    enum class Kind {
        Accepted,      // an input control's new text (text, revision), a check's state ("1"/"0"),
                       // a chosen radio (control = the radio)
        Pressed,       // a button or menu item
        NewSelection,  // a list, drop list or combo row chosen (row, 1-based; 0 none); a sheet's tab (row = tab number)
        AlertKey,      // an alerted key on the focused control (control 0: a window-level key)
        FocusChanged,  // the user moved the focus to control; revision = how many SetFocus calls of
                       // the task the presenter had applied to the window (older moves are dropped)
        CloseRequest,  // the close box
        MouseUp,
        Resized,       // width, height in dialog units
        WindowFocus,   // the window became the active one
        Answer,        // the answer to question `question`: the button (message box), the item (popup, 0 none)
        Scrolled,      // a paged list's thumb dragged to row (0..100)
        ColumnResized, // a list column (column, 1-based) given width dialog units by the user
        Typed,         // a keystroke in an immediate combo: the entry's text after it, the caret
                       // (characters before it), the key (0 for an edit without one, a paste),
                       // the revision of this edit
        RowsFit,       // a list box's room changed: row = how many whole rows it shows now
    };
    Kind kind = Kind::Accepted;
    WindowId window = 0;
    int control = 0;
    std::string text;            // UTF-8
    std::uint64_t revision = 0;  // the presenter's input revision of the control
    int row = 0;
    int caret = 0;               // Typed: characters before the caret
    int column = 0;              // AlertKey from a mouse key on a list: the column under the pointer
                                 // (row: the row under it; row 0 with a column is the header)
    KeyCode key = 0;
    int width = 0, height = 0;
    QuestionId question = 0;
    int answer = 0;
};

class InputSink {
public:
    virtual ~InputSink() = default;
    virtual void Deliver(InputEvent event) = 0;
    // How many items the sink has taken in so far, counting this delivery (0: not counted).
    virtual std::uint64_t Received() { return 0; }
};

enum MessageButton : unsigned { kButtonOk = 1, kButtonYes = 2, kButtonNo = 4, kButtonCancel = 8 };
enum class MessageIcon { None, Information, Question, Exclamation, Hand };

struct MessageQuestion {
    QuestionId id = 0;
    int thread = 0;            // the asking task thread
    WindowId window = 0;       // the asking thread's innermost window (0 none), which the box stands over
    std::string caption, text; // '|' in text starts a new line
    MessageIcon icon = MessageIcon::None;
    unsigned buttons = kButtonOk;
    unsigned defaultButton = kButtonOk;
};

// The print dialog for pages of a set: the user chooses the printer (or a file) and prints.
struct PrintQuestion {
    QuestionId id = 0;
    int thread = 0;
    WindowId window = 0;
    std::shared_ptr<const PageSet> pages;
    std::vector<int> selection;  // the pages to print, from 1, in order; empty: all
    std::string folder;          // where a print to a file goes unless the user says otherwise (as the file
                                 // system spells it; empty: the working directory)
};

struct PopupQuestion {
    QuestionId id = 0;
    int thread = 0;
    WindowId window = 0;                // 0: not tied to a window
    std::vector<std::string> items;     // "-" is a separator; the answer numbers the other items from 1;
                                        // an item starting with '~' is shown greyed and cannot be chosen
    std::vector<std::string> icons;     // the icon of each item, as items ("" none; may be shorter)
    int control = 0;                    // a list the keyboard asked it for: shown at the list's
                                        // highlighted row (its top left when none); 0: at the pointer
};

// A page of the program's help shown to the user (the help file's own pages, compiled in; see
// help_file.h). Shown beside the windows, never modal.
struct HelpRequest {
    enum class Command {
        Topic,     // the page `topic` of the file; an empty topic: the file's opening page
        Contents,  // the table of contents
        Index,     // the index, at `keyword` when there is one
        Search,    // the full-text search
        Keyword,   // the page(s) the index lists under `keyword`; when none: `topic` (if any) and the
                   // index at the keyword
    };
    Command command = Command::Topic;
    std::string file;     // the help file's name
    std::string topic;    // UTF-8
    std::string keyword;  // UTF-8
};

class Presenter {
public:
    virtual ~Presenter() = default;

    // A window built and shown. `thread` is its task thread; input goes to sink.
    virtual void OpenWindow(WindowId id, int thread, const WindowState& state, std::shared_ptr<InputSink> sink) = 0;
    virtual void CloseWindow(WindowId id) = 0;
    // Caption, timer, alert keys, aliases, focus (the controls are left as they are).
    virtual void UpdateWindow(WindowId id, const WindowState& state) = 0;
    // A control's properties changed, or a control was created at run time.
    virtual void UpdateControl(WindowId id, const ControlState& control) = 0;
    // The displayed value of an input control. `answersRevision` is the latest input revision of
    // the control that the task had seen; an update answering an older revision than the control's
    // latest input is dropped (the user has typed on since).
    virtual void SetText(WindowId id, int control, const std::string& text, std::uint64_t answersRevision) = 0;
    // An immediate combo's answer to a keystroke: the entry shows text with characters
    // [selectFrom, selectTo) selected and the caret at selectTo. Dropped like SetText when the user
    // has typed on since `answersRevision`; the entry stays typed into (leaving it accepts it).
    virtual void SetEntry(WindowId id, int control, const std::string& text, int selectFrom, int selectTo,
                          std::uint64_t answersRevision) = 0;
    // Rows of a list, drop list or combo; each row one text per column.
    virtual void SetRows(WindowId id, int control, const std::vector<std::vector<std::string>>& rows) = 0;
    virtual void SetFocus(WindowId id, int control) = 0;
    // An inert window takes no input: its thread is busy with a nested window or a question.
    virtual void SetInert(WindowId id, bool inert) = 0;
    // The busy cursor over a thread's windows.
    virtual void SetBusy(int thread, bool busy) = 0;
    // A note in the frame's status bar (empty: cleared), such as a wait on a file that another
    // program holds. A presenter without one ignores it.
    virtual void ShowStatus(const std::string& /*text*/) {}
    // A control's standard action other than close (help, clipboard, window arrangement, print set-up).
    virtual void PerformAction(WindowId id, int control, StdAction action) = 0;

    // A preview control's pages, sent once; its state says which it shows and how large.
    virtual void SetPages(WindowId id, int control, std::shared_ptr<const PageSet> pages) = 0;

    virtual void AskMessage(const MessageQuestion& question, std::shared_ptr<InputSink> sink) = 0;
    virtual void AskPopup(const PopupQuestion& question, std::shared_ptr<InputSink> sink) = 0;
    // Answers 1 when the pages were printed, 0 when the user did not print them.
    virtual void AskPrint(const PrintQuestion& question, std::shared_ptr<InputSink> sink) = 0;

    // The desktop's services. A presenter without them ignores the requests.
    virtual void ShowHelp(const HelpRequest& /*request*/) {}
    // A web address, or a document opened with the program the desktop gives its kind.
    virtual void OpenDocument(const std::string& /*urlOrPath*/) {}
    // Plain text onto the clipboard.
    virtual void SetClipboardText(const std::string& /*utf8*/) {}
    // A key the task types into one of its controls, as if the user had typed it there (not
    // alerted again): Enter or Shift+Enter puts a line break into a multi-line text box, at the
    // caret; the control then counts as typed into. Other keys and controls: nothing.
    virtual void TypeKey(WindowId /*id*/, int /*control*/, KeyCode /*key*/) {}
    // The task thread waits for input again, every item of the `received` its queue had taken in
    // handled or left for later (a thread that ends sends the largest count). Input the presenter
    // holds back while the thread acts on an earlier key goes on from here (see InputHold).
    virtual void Waiting(int /*thread*/, std::uint64_t /*received*/) {}
    // The task thread starts another task (a menu command's window on a thread of its own): input
    // held for `thread` waits on until the new task first waits for input, its window shown.
    virtual void StartingTask(int /*thread*/) {}
};

}  // namespace wnd
