#pragma once
// The controller every window procedure runs: it opens the window, runs its event loop, hands each
// event to the virtual operations a procedure overrides, drives the window's parts, and leaves the
// outcome in RESPONSE. A procedure derives its own controller, overrides a few operations and calls
// Execute().
//
// Result levels of the operations: 0 go on with the default processing; 5 handled (OnEvent: no
// default processing of this event; Initialise: do not run the window); 3 stop the event loop.
#include <cstdint>
#include <vector>

#include "platform/classes/error_reporter.h"
#include "platform/classes/table_group.h"
#include "platform/classes/toolbar_dispatcher.h"
#include "platform/classes/window_component.h"
#include "platform/classes/window_resizer.h"
#include "platform/window/window.h"

namespace cls {

inline constexpr int kLevelGoOn = 0;
inline constexpr int kLevelStop = 3;
inline constexpr int kLevelHandled = 5;

// The alert position of the history key on the controls it serves.
inline constexpr int kHistoryKeyPosition = 255;

// Request and response codes of the calling protocol.
inline constexpr std::uint8_t kRequestInsert = 1, kRequestChange = 2, kRequestDelete = 3, kRequestSelect = 4,
                              kRequestView = 6;
inline constexpr std::uint8_t kResponseCompleted = 1, kResponseCancelled = 2;

// Posted by the controller to its own window when the window was resized, so that the controls
// are laid out once the burst of size reports has been read.
inline constexpr wnd::Event kDeferredResize = static_cast<wnd::Event>(static_cast<int>(wnd::Event::User) + 1);

// A control that closes its window with a response of its own.
struct ButtonAction {
    int control = 0;
    std::uint8_t response = 0;
};

class WindowController {
public:
    explicit WindowController(wnd::Window& window) : window_(window) {}
    virtual ~WindowController() = default;
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    // --- virtual operations, in slot order ---
    virtual int EventLoop();
    virtual int Initialise();
    virtual int TearDown();
    virtual void AfterOpen();
    virtual void OpenScreen();
    virtual int PrimeNewRecord();
    virtual int PrepareRecord();
    virtual void Refresh(bool force = false);
    virtual int RecallPreviousValue(int control);
    virtual int Execute();
    virtual int CallUpdater(int number, int request);
    virtual void ArmKeys();
    virtual void CloseWith(int response);
    virtual int OnAccepted();
    virtual int OnCompleted();
    virtual int OnCloseRequest();
    virtual int OnEvent();
    virtual int OnFieldEvent();
    virtual int OnNewSelection();
    virtual int OnNotify();
    virtual int OnRejected();
    virtual int OnSelected();
    virtual int OnWindowEvent();
    virtual void SyncComponents();
    virtual void ToggleControl(int control, bool enabled);
    virtual int CompleteInsert();
    virtual int CompleteChange();
    virtual int CompleteDelete();
    virtual int SaveChangeAndStay();
    virtual int SaveInsertAndStay();

    // --- non-virtual helpers ---
    void AddButtonAction(int control, std::uint8_t response);
    void AddComponent(WindowComponent* part) { CL.push_back(part); }
    void AttachResizer(WindowResizer* resizer) { resizer_ = resizer; }
    wnd::Window& window() const { return window_; }
    bool dead() const { return dead_; }

    // --- fields ---
    std::uint8_t REQUEST = 0;
    std::uint8_t ORIGINALREQUEST = 0;
    std::uint8_t RESPONSE = 0;
    std::int32_t FIRSTFIELD = 0;
    ErrorReporter* ERRORS = nullptr;
    std::int32_t* VCRREQUEST = nullptr;
    ToolbarDispatcher* TOOLBAR = nullptr;
    std::uint8_t FILESOPENED = 0;
    TableGroup* PRIMARY = nullptr;
    std::uint8_t INSERTACTION = 0;
    std::uint8_t CHANGEACTION = 0;
    std::uint8_t DELETEACTION = 0;
    std::uint8_t CANCELACTION = 0;
    std::int32_t OKCONTROL = 0;
    std::int32_t HISTORYKEY = 0;
    std::uint8_t BATCHPROCESSING = 0;
    std::vector<ButtonAction> BUTTONS;
    std::vector<WindowComponent*> CL;
    std::uint8_t AUTOREFRESH = 0;

private:
    // Writes through PRIMARY when there is one; 0 when written (or nothing to write).
    int writePrimary();

    wnd::Window& window_;
    WindowResizer* resizer_ = nullptr;
    bool dead_ = false;
    bool afterOpenDone_ = false;
    int resizes_ = 0;
};

}  // namespace cls
