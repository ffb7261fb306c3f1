#pragma once
// Routes the buttons of a window's toolbar to the parts and forms they act on. No window of this
// program has a toolbar, so a dispatcher never receives a button; it is still attached so that a
// window given a toolbar later needs no change of its procedure.
#include <vector>

namespace cls {

class ToolbarTarget {
public:
    virtual ~ToolbarTarget() = default;
    // Non-zero: the target handled the toolbar control.
    virtual int TakeToolbar(int control) = 0;
};

class ToolbarDispatcher {
public:
    void AddTarget(ToolbarTarget* target) { targets_.push_back(target); }
    void Release() { targets_.clear(); }
    // An accepted control: offered to the targets when it is one of the window's toolbar buttons.
    // Non-zero when a target handled it.
    int TakeAccepted(int control);
    bool IsToolbarControl(int control) const;
    // The window's toolbar buttons (none in this program).
    void AddButton(int control) { buttons_.push_back(control); }

private:
    std::vector<ToolbarTarget*> targets_;
    std::vector<int> buttons_;
};

}  // namespace cls
