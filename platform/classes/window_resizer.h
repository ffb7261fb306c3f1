#pragma once
// Keeps a window's controls usable when the window is resized. Strategy 2 (the one this program
// uses) places controls proportionally: each control's position follows the window's size, and
// controls that show a variable amount of content (lists, text boxes, sheets, regions, groups) grow
// and shrink with it. With the minimum-size flag the window's designed size is the least the
// controls are laid out for, so shrinking the window never makes controls overlap. A control of a
// row keeps its place beside the one before it in the row: level with it (a prompt and its entry),
// and, when designed next to it, at the same gap (a lookup's button beside its combo).
#include <map>

#include "platform/window/control.h"

namespace wnd {
class Window;
}

namespace cls {

class WindowResizer {
public:
    enum Strategy : int {
        kLockPosition = 0,  // stays where it was designed
        kMove = 1,          // position follows the window, size fixed
        kResize = 2,        // position and size follow the window
    };

    // Takes the window's designed size and each control's designed place.
    void Init(wnd::Window& window, int strategy, bool minimumSize, bool maximumSize);
    // The strategy a control gets unless told otherwise (by its kind).
    void SetDefaultStrategies();
    void SetStrategy(int control, Strategy strategy);
    // Lays the controls out for the window's current size.
    void Resize();
    void Release() { window_ = nullptr; }
    bool attached() const { return window_ != nullptr; }

    // Where a control designed at `designed` goes in a window now `width` by `height` (exposed
    // for tests).
    wnd::Rect Place(int control, const wnd::Rect& designed, int width, int height) const;

private:
    // The control before one in its row, and whether the two were designed side by side.
    struct RowMate {
        int control = 0;
        bool beside = false;
    };
    void FindRowMates();

    wnd::Window* window_ = nullptr;
    int strategy_ = 2;
    bool minimumSize_ = true;
    bool maximumSize_ = false;
    int designWidth_ = 0, designHeight_ = 0;
    std::map<int, wnd::Rect> designed_;
    std::map<int, Strategy> strategies_;
    std::map<int, RowMate> rowMates_;
};

}  // namespace cls
