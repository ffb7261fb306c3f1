#pragma once
// A part of a window that its controller drives: list browsers, lookup lists and the like. The
// controller offers each part every event, refreshes the parts, asks them to bring their record
// buffers up to date and arms their keys; the window procedure owns the part itself.
namespace cls {

class WindowController;

class WindowComponent {
public:
    virtual ~WindowComponent() = default;

    // The controller's current event (controller.window().event() and control()). Non-zero: the
    // part handled it and no later part sees it.
    virtual int TakeEvent(WindowController& controller) = 0;
    // Reads afresh and shows what changed; `force` reads even when nothing seems to have changed.
    virtual void Reset(bool force) = 0;
    // Whether the fields that make this part read afresh have changed since its last reset.
    virtual bool ResetRequired() { return false; }
    // Puts the part's current row into its record buffer.
    virtual void SyncBuffer() {}
    // Alert keys the part needs on its controls.
    virtual void ArmKeys() {}
    // The window is going away: the controller no longer refers to the part after this.
    virtual void Release() {}
};

}  // namespace cls
