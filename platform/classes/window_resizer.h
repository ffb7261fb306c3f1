#pragma once
// Keeps a window's controls usable when the window is resized. Strategy 2 (the one this program
// uses) spreads the controls over the window's new size, and controls that show a variable amount
// of content (lists, text boxes, sheets, regions, groups) grow and shrink with it. With the
// minimum-size flag the window's designed size is the least the controls are laid out for, so
// shrinking the window never makes controls overlap.
//
// The layout is a function of the window's size alone, so restoring a window gives back its
// designed layout exactly. Its rules:
// - Columns stay columns: controls whose left edges lie within a few units of each other form a
//   column, and every control of a column moves with it. A column moves in proportion to the
//   window, unless it is tied to a column before it: an entry to its prompt, a lookup's button to
//   its combo, a button of a row of buttons to the one before it; a tied column keeps its designed
//   distance from the column it is tied to.
// - Rows stay rows: controls a line high whose middles are level form a row and move together.
// - The buttons at a window's right edge stay there, with the buttons of their row: their row ends
//   where the window's width, in proportion, puts its designed right end (where a sheet above
//   them ends).
// - A box's controls (an option's radios) keep their place in their box.
// - An entry or combo designed beside a control on its right (a lookup's button) widens to keep
//   its gap to it.
#include <map>
#include <set>
#include <vector>

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

    // Where a control goes in a window now `width` by `height` (exposed for tests); a control the
    // resizer does not know stays at `designed`.
    wnd::Rect Place(int control, const wnd::Rect& designed, int width, int height) const;

private:
    struct Part {
        wnd::Rect at;         // designed
        wnd::ControlKind kind{};
        int column = 0;       // the left edge of its column (designed)
        int row = -1;         // the top of its row (designed); -1: not a row control
        int widenTo = 0;      // the control beside it on its right that an input widens to keep its gap to
        int box = 0;          // the group or option box it stands in, and keeps its place in
    };
    void Analyse();
    // The left edge of every column, and the top of every row, at that size.
    std::map<int, int> Columns(double fx, int width) const;
    std::map<int, int> Rows(double fy) const;

    wnd::Window* window_ = nullptr;
    int strategy_ = 2;
    bool minimumSize_ = true;
    bool maximumSize_ = false;
    int designWidth_ = 0, designHeight_ = 0;
    std::map<int, Part> parts_;
    std::map<int, Strategy> strategies_;
    std::map<int, std::set<int>> ties_;   // column -> the columns before it that it is tied to
    std::map<int, std::set<int>> order_;  // column -> the columns of the controls on its left, on a level
    std::map<int, std::set<int>> growOrder_;  // column -> the right edges (designed) of growing controls on its left
    std::map<int, int> rightEdge_;        // columns at the right edge -> the right edge (designed) of their row
};

}  // namespace cls
