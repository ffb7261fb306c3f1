#pragma once
// The Enter-key navigator every window procedure owns: Enter and the arrow keys move through a
// window as Tab and Shift+Tab do, except where a control needs the key itself (arrows in lists,
// spin boxes, combos and radio buttons; Enter in multi-line text boxes and on buttons). A window may
// replace the tab order for single controls with explicit pairs (the health profile leads from the
// last control of one tab page to the first of the next).
//
// It works only through alert keys: ArmKeys, the last step of a window's set-up, writes alert
// positions 249 to 255 of each control by its kind, over what the controller and the window's
// parts put there; HandleAlertKey, offered every event first, moves the focus for them.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/classes/procedure_hooks.h"
#include "platform/window/control.h"

namespace shell {

class EnterKeyNavigator final : public cls::KeyNavigator {
public:
    static constexpr int kFirstPosition = 249;  // positions 249..255
    static constexpr wnd::KeyCode kShiftAlone = wnd::kShift | wnd::kKeyShiftKey;  // 0x110

    // The keys of positions 249..255 for a control of this kind (0: the position is not written).
    // With option non-zero, list boxes and drop lists get no Right and Left.
    static std::array<wnd::KeyCode, 7> KeysFor(const wnd::ControlState& control, int option);

    void AddNextTabStop(int control, int next) override;
    void ArmKeys(wnd::Window& window, int option) override;
    bool HandleAlertKey(wnd::Window& window) override;

private:
    struct Pair {
        std::int32_t control;
        std::int32_t next;
    };

    bool excluded(int control) const;
    const Pair* pairFrom(int control) const;
    const Pair* pairTo(int next) const;
    // The key as if typed on the control that has the focus.
    void PressKey(wnd::Window& window, int control, wnd::KeyCode key);
    void Forward(wnd::Window& window, int control);
    void Back(wnd::Window& window, int control);

    // Controls the navigator leaves alone. Nothing in the program adds to it; it is consulted on
    // every event all the same.
    std::vector<std::uint16_t> excluded_;
    std::vector<Pair> pairs_;  // ascending by control
    int option_ = 0;
    bool inited_ = false;
};

}  // namespace shell
