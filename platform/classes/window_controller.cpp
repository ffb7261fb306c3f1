#include "platform/classes/window_controller.h"

namespace cls {

int WindowController::EventLoop() {
    while (window_.Accept())
        if (OnEvent() == kLevelStop) break;
    // The loop is over: the window goes at once, before the tear-down releases what it showed.
    window_.Close();
    return kLevelGoOn;
}

int WindowController::Initialise() {
    if (dead_) return kLevelStop;
    ORIGINALREQUEST = REQUEST;
    CL.clear();
    BUTTONS.clear();
    INSERTACTION = 2;
    CHANGEACTION = 2;
    DELETEACTION = 2;
    CANCELACTION = 3;
    AUTOREFRESH = 1;
    return kLevelGoOn;
}

int WindowController::TearDown() {
    if (dead_) return kLevelStop;
    for (WindowComponent* part : CL) part->Release();
    CL.clear();
    BUTTONS.clear();
    if (resizer_) resizer_->Release();
    resizer_ = nullptr;
    dead_ = true;
    return kLevelGoOn;
}

void WindowController::AfterOpen() { Refresh(true); }

void WindowController::OpenScreen() { window_.Open(); }

int WindowController::PrimeNewRecord() {
    if (PRIMARY && PRIMARY->ME) PRIMARY->ME->PrimeNewRecord();
    return kLevelGoOn;
}

int WindowController::PrepareRecord() { return REQUEST == kRequestInsert ? PrimeNewRecord() : kLevelGoOn; }

void WindowController::Refresh(bool force) {
    for (WindowComponent* part : CL) part->Reset(force);
    if (window_.isOpen()) window_.Display();
}

int WindowController::RecallPreviousValue(int) { return kLevelGoOn; }

int WindowController::Execute() {
    if (Initialise() == kLevelGoOn) EventLoop();
    TearDown();
    return RESPONSE ? RESPONSE : kResponseCancelled;
}

int WindowController::CallUpdater(int, int) { return kResponseCancelled; }

void WindowController::ArmKeys() {
    for (WindowComponent* part : CL) part->ArmKeys();
    if (!HISTORYKEY) return;
    // The history key goes into the last alert position of every input control (and of an
    // option's radios, which hold the focus for it), where a key armed later (the Enter-key
    // navigator's) may take its place.
    for (const wnd::ControlState& c : window_.state().controls) {
        const bool radio = c.kind == wnd::ControlKind::Radio && window_.Has(c.parent) &&
                           window_.control(c.parent).kind == wnd::ControlKind::Option;
        if ((wnd::TakesInput(c.kind) || radio) && window_.alert(c.number, kHistoryKeyPosition) != HISTORYKEY)
            window_.SetAlert(c.number, kHistoryKeyPosition, HISTORYKEY);
    }
}

void WindowController::CloseWith(int response) {
    RESPONSE = static_cast<std::uint8_t>(response);
    window_.Post(wnd::Event::CloseWindow);
    if (response == kResponseCancelled && TOOLBAR && VCRREQUEST) *VCRREQUEST = 0;
}

int WindowController::OnAccepted() {
    const int control = window_.control();
    if (TOOLBAR)
        if (int r = TOOLBAR->TakeAccepted(control)) return r;
    for (const ButtonAction& b : BUTTONS)
        if (b.control == control) {
            CloseWith(b.response);
            return kLevelHandled;
        }
    if (OKCONTROL && control == OKCONTROL) {
        // Completion runs once every entry has been accepted again (the Completed event).
        window_.AcceptAll();
        return kLevelHandled;
    }
    return kLevelGoOn;
}

int WindowController::OnCompleted() {
    switch (REQUEST) {
        case kRequestInsert: return CompleteInsert();
        case kRequestChange: return CompleteChange();
        case kRequestDelete: return CompleteDelete();
        default: CloseWith(kResponseCompleted); return kLevelGoOn;
    }
}

int WindowController::OnCloseRequest() { return kLevelGoOn; }

int WindowController::OnEvent() {
    using wnd::Event;
    const Event e = window_.event();
    const int control = window_.control();
    // 1. The window's own events.
    if (control == 0 && wnd::IsWindowEvent(e))
        if (int r = OnWindowEvent()) return r;
    // 2. By event.
    int r = kLevelGoOn;
    switch (e) {
        case Event::Resized: window_.Post(kDeferredResize); break;
        case Event::Accepted: r = OnAccepted(); break;
        case Event::Rejected: r = OnRejected(); break;
        case Event::Selected: r = OnSelected(); break;
        case Event::NewSelection: r = OnNewSelection(); break;
        case Event::AlertKey:
            if (HISTORYKEY && window_.keyCode() == HISTORYKEY) r = RecallPreviousValue(window_.focus());
            break;
        default: break;
    }
    if (r) return r;
    // 3. A control's events.
    if (control)
        if (int f = OnFieldEvent()) return f;
    // 4. The parts, in the order they were added.
    for (WindowComponent* part : CL)
        if (int p = part->TakeEvent(*this)) return p;
    // 5. One refresh when a part's reset fields changed.
    if (AUTOREFRESH) {
        bool changed = false;
        for (WindowComponent* part : CL) changed = part->ResetRequired() || changed;
        if (changed) Refresh();
    }
    return kLevelGoOn;
}

int WindowController::OnFieldEvent() { return kLevelGoOn; }
int WindowController::OnNewSelection() { return kLevelGoOn; }
int WindowController::OnNotify() { return kLevelGoOn; }
int WindowController::OnRejected() { return kLevelGoOn; }
int WindowController::OnSelected() { return kLevelGoOn; }

int WindowController::OnWindowEvent() {
    using wnd::Event;
    switch (const Event e = window_.event()) {
        case Event::OpenWindow:
            if (!afterOpenDone_) {
                afterOpenDone_ = true;
                AfterOpen();
            }
            if (window_.Has(FIRSTFIELD) && wnd::TakesFocus(window_.control(FIRSTFIELD).kind)) window_.Select(FIRSTFIELD);
            return kLevelGoOn;
        case Event::GainFocus: Refresh(); return kLevelGoOn;
        case Event::Resized:
            // The first size report is the window's opening size.
            if (++resizes_ > 1) Refresh();
            return kLevelGoOn;
        case Event::Completed: return OnCompleted();
        case Event::CloseWindow:
        case Event::CloseDown: {
            const int r = OnCloseRequest();
            if (r) window_.CancelClose();
            return r;
        }
        default:
            if (e == kDeferredResize && resizer_) resizer_->Resize();
            return kLevelGoOn;
    }
}

void WindowController::SyncComponents() {
    for (WindowComponent* part : CL) part->SyncBuffer();
}

void WindowController::ToggleControl(int control, bool enabled) {
    if (window_.Has(control)) window_.SetDisabled(control, !enabled);
}

int WindowController::writePrimary() { return PRIMARY ? PRIMARY->WriteChanges() : kLevelGoOn; }

int WindowController::CompleteInsert() {
    const int r = writePrimary();
    if (r == kLevelGoOn) CloseWith(kResponseCompleted);
    return r;
}

int WindowController::CompleteChange() {
    const int r = writePrimary();
    if (r == kLevelGoOn) CloseWith(kResponseCompleted);
    return r;
}

int WindowController::CompleteDelete() {
    const int r = PRIMARY ? PRIMARY->RemoveRecord(true) : kLevelGoOn;
    CloseWith(r == kLevelGoOn ? kResponseCompleted : kResponseCancelled);
    return kLevelGoOn;
}

int WindowController::SaveChangeAndStay() { return writePrimary(); }
int WindowController::SaveInsertAndStay() { return writePrimary(); }

void WindowController::AddButtonAction(int control, std::uint8_t response) { BUTTONS.push_back({control, response}); }

}  // namespace cls
