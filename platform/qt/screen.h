#pragma once
// The GUI-thread half of the Qt presenter: the widgets of every open window, the mirror of what the
// task side sent (control states, alert keys, aliases, focus), and the user's input turned into
// InputEvents. Every member runs on the GUI thread; QtPresenter queues the task threads' calls here.
#include <QEvent>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/input_hold.h"
#include "platform/window/input_mirror.h"
#include "platform/window/presenter.h"
#include "platform/window/waiting.h"

class QAction;
class QInputEvent;
class QKeyEvent;
class QTimer;
class QWindow;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QMessageBox;
class QWidget;

namespace qtp {

class HelpViewer;
class Printing;

class Screen final : public QObject {
public:
    Screen();
    ~Screen() override;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    void OpenWindow(wnd::WindowId id, int thread, const wnd::WindowState& state, std::shared_ptr<wnd::InputSink> sink);
    void CloseWindow(wnd::WindowId id);
    void UpdateWindow(wnd::WindowId id, const wnd::WindowState& state);
    void UpdateControl(wnd::WindowId id, const wnd::ControlState& control);
    void SetText(wnd::WindowId id, int control, const std::string& text, std::uint64_t answersRevision);
    void SetEntry(wnd::WindowId id, int control, const std::string& text, int selectFrom, int selectTo,
                  std::uint64_t answersRevision);
    void SetRows(wnd::WindowId id, int control, const std::vector<std::vector<std::string>>& rows);
    void SetFocus(wnd::WindowId id, int control);
    void SetInert(wnd::WindowId id, bool inert);
    void SetBusy(int thread, bool busy);
    void ShowStatus(const std::string& text);
    void PerformAction(wnd::WindowId id, int control, wnd::StdAction action);
    void AskMessage(const wnd::MessageQuestion& question, std::shared_ptr<wnd::InputSink> sink);
    void AskPopup(const wnd::PopupQuestion& question, std::shared_ptr<wnd::InputSink> sink);
    void SetPages(wnd::WindowId id, int control, std::shared_ptr<const wnd::PageSet> pages);
    void AskPrint(const wnd::PrintQuestion& question, std::shared_ptr<wnd::InputSink> sink);
    std::function<void(int)> Answerer(int thread, wnd::QuestionId question, std::shared_ptr<wnd::InputSink> sink);
    void SetClipboardText(const std::string& utf8);
    void OpenDocument(const std::string& urlOrPath);
    // The thread waits for input again (see wnd::InputHold): held input goes on.
    void StartingTask(int thread);
    void Waiting(int thread, std::uint64_t received);
    void ShowHelp(const wnd::HelpRequest& request);
    void TypeKey(wnd::WindowId id, int control, wnd::KeyCode key);

    // What activating a window really brings forward: the window it waits for (its thread's
    // innermost), itself when it waits for none; 0 when it is not open. Every way of activating
    // a window (a click, Ctrl+Tab, the Window menu, a close) goes through BringForward.
    wnd::WindowId Forward(wnd::WindowId id) const { return waiting_.Front(id); }
    void BringForward(wnd::WindowId id);

    // What a test or a screenshot looks at.
    wnd::WindowId Find(std::string_view procedureOrCaption) const;  // the latest opened; 0 none
    QWidget* WindowWidget(wnd::WindowId id) const;     // the frame, the MDI sub-window or the top-level window
    QWidget* ControlWidget(wnd::WindowId id, std::string_view use) const;
    QAction* MenuAction(wnd::WindowId id, std::string_view use) const;
    QMainWindow* Frame() const;
    std::vector<QMessageBox*> MessageBoxes() const;
    std::vector<QMenu*> PopupMenus() const;
    HelpViewer* Help(std::string_view file) const;  // the viewer of a help file; null when none is open
    Printing& Prints() { return *printing_; }  // the print and page set-up dialogs, the prints under way
    const std::string& LastNote() const { return lastNote_; }  // what Notify told the user last

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ControlView;
    struct View;

    View* view(wnd::WindowId id) const;
    void Build(View& v, int number);
    void Apply(View& v, int number);
    void Place(View& v, int number);
    void FinishLayout(View& v);
    int SheetsExtra(const View& v) const;  // what the window's sheets' further rows of tabs add (pixels)
    void FitBody(View& v);
    QSize TaskSize(const View& v, QSize px) const;  // a surface's size in the task's dialog units
    void ApplyUsable(View& v);
    // Whether all that holds v's thread is its popup menus: v keeps its look and takes no input.
    bool UnderPopup(const View& v) const;
    // Where a popup menu of the given size opens (screen_questions.cpp).
    QPoint PopupPlace(const wnd::PopupQuestion& question, QSize menu) const;
    void ApplyThread(int thread);
    // A window usable again once its thread's nested window or question is gone takes the keys
    // back, unless the user is at work in another window: with no window manager nothing else
    // gives it the keyboard, and Qt's shortcuts (a button's Alt-letter) act in the active window only.
    void Resume(View& v);
    void Deliver(View& v, wnd::InputEvent e);
    // Keys typed ahead: input that follows an action of a task thread waits, in order, until the
    // thread is ready for it, then goes where the keyboard is (screen_typeahead.cpp).
    // Input of `kind` went to `thread`: what follows for its windows may have to wait (InputHold::After).
    void HoldAfter(int thread, wnd::InputSink& sink, wnd::InputEvent::Kind kind);
    bool HoldBack(QObject* watched, QEvent* event);  // true when the event was taken to wait
    // The task thread whose window holds o (kFrameInput: the frame's, or none).
    static constexpr int kFrameInput = -1;
    int InputThread(QObject* o) const;
    // Whether input for `thread`'s windows waits now (kFrameInput: the frame's, which waits behind any).
    bool HoldsFor(int thread, bool typing) const;
    void ReleaseHeld();
    // Where a key held for `thread`'s windows goes: the focus, or where it is returning.
    QWidget* KeyboardWidget(int thread);
    void Leave(View& v);
    // Before a close through control n (0: the close box): what was typed and not yet left is
    // accepted, in every window when it is the frame's close (InputMirror::ClosesFrame).
    void LeaveBeforeClose(View& v, int n);
    void MoveFocus(View& v, int number, bool applyToWidget);
    void FocusWidget(View& v, int number);
    // The status bar shows the control's message on one line, or nothing for a control without one.
    void ShowMessageOf(const View& v, int number);
    std::string CurrentText(const View& v, int number) const;
    // The user's edit of an input control, kept within what the control can store.
    void Edited(View& v, int number);
    void ShowKept(View& v, int number, const wnd::KeptInput& kept);
    // A note to the user about their typing (a character the control cannot store).
    void Notify(View& v, int number, const std::string& note);
    bool HandleKey(View& v, int number, int qtKey, Qt::KeyboardModifiers mods, bool isOverride);
    // The desktop's window keys: Ctrl+F6 / Ctrl+Shift+F6 the next / previous window, Ctrl+F4 the close box.
    bool WindowKey(View& v, int qtKey, Qt::KeyboardModifiers mods, bool isOverride);
    // Ctrl+F6's step: the next (or previous) MDI child that takes the keyboard itself.
    void StepWindow(bool forward);
    // The control of the window an Alt-letter acts on (0 none), and acting on it.
    int MnemonicTarget(View& v, wnd::KeyCode key);
    void PressMnemonic(View& v, int number);
    // An immediate combo's keystroke, reported with the entry as it stands after it.
    void Typed(View& v, int number, wnd::KeyCode key);
    // A mouse key or a scroll step on a list: an alert key with the pointer's row and column,
    // sent only where the list alerts it.
    void ListKey(View& v, int number, wnd::KeyCode key, int row, int column);
    void PlaceThumb(View& v, int number);
    void ReportRowsFit(View& v, int number);
    void MakeRoomFor(QMdiSubWindow& sub);
    QWidget* Opener(const View& v) const;  // what a new plain window stands over
    void Reorigin(View& v, int number);
    int BelowSheets(View& v, int number);
    void RefitSheet(View& v, int sheet);
    bool ListMouse(View& v, int number, QEvent* event);
    void OnFocusChanged(QWidget* now);
    void BuildWindowMenu();
    void ArrangeIcons();
    void Own(QObject* o, wnd::WindowId id, int control);
    // The window and control that own a widget (walking up to the control's own widget).
    std::pair<View*, int> Locate(QObject* o) const;

    // A window that waits was activated: what it waits for comes forward once the activation is over.
    void Redirect(wnd::WindowId id);
    // A key the window system sends while Qt holds no window active makes its window active.
    bool KeysWithNoActiveWindow(QObject* watched, QEvent* event);
    // A message box comes forward with the keyboard, restored if a window manager minimised it.
    void ShowBox(QMessageBox& box);
    // Brings forward the first box up (all: whether or not it was minimised).
    void RestoreBoxes(bool all);
    // Escape presses the window's Cancel or Close button, or its Exit item; false when it has none.
    bool PressEscape(View& v);

    std::map<wnd::WindowId, std::unique_ptr<View>> views_;
    wnd::WaitingWindows waiting_;
    std::map<QObject*, std::pair<wnd::WindowId, int>> owners_;
    std::map<int, int> asking_;  // open questions per task thread
    std::map<int, int> popups_;  // of them, popup menus
    std::vector<QPointer<QWidget>> questions_;  // message boxes and popup menus on screen
    QPointer<QMainWindow> frame_;
    QPointer<QMdiArea> mdi_;
    QPointer<QMenu> windowMenu_;
    std::vector<QPointer<QAction>> windowMenuExtras_;
    std::unique_ptr<Printing> printing_;
    std::map<std::string, std::unique_ptr<HelpViewer>> help_;  // one viewer per help file (folded name)
    std::uint64_t opened_ = 0;
    std::string lastNote_;
    bool dying_ = false;
    wnd::InputHold hold_;
    // Key presses and clicks held, in order: a key goes where the keyboard is when let go, a click
    // to the widget it was made on.
    struct Held {
        std::shared_ptr<QInputEvent> event;
        QPointer<QWidget> target;  // a click's widget
        QPointer<QWindow> window;  // the window a click came to
        bool viaWindow = false;    // the window system gave the click to its window
        int thread = kFrameInput;  // the thread whose window it was made in
        bool typing = false;       // a key that only types
    };
    std::deque<Held> held_;
    bool replaying_ = false;
    QPointer<QTimer> holdLimit_;
};

}  // namespace qtp
