#pragma once
// What a window and its controls are: kinds, properties and the state both halves of the window
// system agree on. The task side keeps this state; the presenter receives copies of it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/keys.h"

namespace wnd {

// Control kinds. The values of the kinds that code tells apart by number (entry 8, button 9,
// check 12, list 14, combo 15, spin 16, text 17, radio 21, drop list 33, drop combo 34) are fixed.
enum class ControlKind : int {
    String = 1,      // display-only text, may show a use variable
    Image = 2,
    Region = 3,
    Group = 5,
    Option = 6,      // a group of radio buttons sharing one use variable
    Prompt = 7,
    Entry = 8,
    Button = 9,
    Sheet = 10,
    Tab = 11,
    Check = 12,
    List = 14,
    Combo = 15,
    Spin = 16,
    Text = 17,       // text box, multi-line unless `single`
    Radio = 21,
    Progress = 24,
    MenuBar = 25,
    Menu = 26,
    Item = 27,
    Separator = 28,
    DropList = 33,
    DropCombo = 34,
    Preview = 35,    // printed pages shown as on paper (choice: the first page shown, from 1)
};

std::optional<ControlKind> ControlKindFromName(std::string_view name);  // "entry", "droplist", ...
std::string_view ControlKindName(ControlKind kind);

// Kinds that take the keyboard focus.
bool TakesFocus(ControlKind kind);
// Kinds whose typed or chosen value goes into a use variable and that take part in the accept-all pass.
bool TakesInput(ControlKind kind);

// Actions a control can perform by itself, raising no Accepted.
enum class StdAction : int {
    None = 0, Close, Help, HelpIndex, HelpSearch, HelpOnHelp, Cut, Copy, Paste, Tile, Cascade, ArrangeIcons,
    PrintSetup,
};
std::optional<StdAction> StdActionFromName(std::string_view name);  // "close", "helpindex", "" ...
std::string_view StdActionName(StdAction action);

enum class WindowKind : int { MdiChild, Plain, AppFrame };

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;  // dialog units; 0 width/height: the presenter's default
};

struct Font {
    std::string name;
    int points = 0;
    int weight = 400;
};

inline constexpr int kAlertPositions = 255;
inline constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;  // no colour of its own

struct ControlState {
    int number = 0;            // 1..n in control order
    std::string use;           // "?PRE:DRUGNAMEASPRESCRIBED"
    ControlKind kind = ControlKind::String;
    int parent = 0;            // enclosing sheet, tab, option, group or menu; 0 for none
    std::string text;          // caption, prompt text, or the displayed value of an input control
    Rect at;
    bool hidden = false;
    bool disabled = false;
    bool readOnly = false;
    bool isDefault = false;    // the button Enter presses
    bool single = false;       // single-line text box
    bool immediate = false;    // a combo's entry reports every keystroke (Typed) for the task to complete
    std::string icon, tip, message, help;
    std::string picture;       // display picture, for the presenter's own formatting of list columns
    int maxChars = 0;          // the most characters the user can type or paste (an entry's text
                               // picture, a text box's variable); 0 no limit
    StdAction std = StdAction::None;
    std::string format;        // list box column format
    int choice = 0;            // selected row (lists), current tab number (sheets), 0 none
    int thumb = -1;            // a list that shows a page of its rows: scroll thumb 0..100; -1 the presenter's own
    int rowsFit = 0;           // lists: the whole rows the presenter last said the box shows; 0 not told
    bool checked = false;      // check boxes, and the chosen radio of an option
    std::uint32_t colour = kDefaultColour;  // text colour 0xRRGGBB; kDefaultColour: the presenter's own
    int rangeLow = 0, rangeHigh = 0;         // spin boxes: the values the arrows step through; both 0: no range
    int step = 1;                            // spin boxes: one arrow step
    int pagesAcross = 1, pagesDown = 1;      // previews: pages shown side by side and one below another
    int zoom = 0;                            // previews: percent of the paper's size; 0 the pages fit the
                                             // control, -1 a page fits its width
    std::array<KeyCode, kAlertPositions> alerts{};  // position p (1..255) is alerts[p-1]; 0 empty

    bool Alerts(KeyCode key) const;
};

struct WindowState {
    std::string procedure;     // "BrowsePrescripts"
    std::string label;         // "P1$QUICKWINDOW"
    std::string caption;
    WindowKind kind = WindowKind::MdiChild;
    Rect at;
    bool maximised = false;    // opened filling the screen (a plain window) or the frame (an MDI child)
    Font font;
    std::string icon;
    std::string wallpaper;
    std::string help;
    int timer = 0;             // hundredths of a second between Timer events; 0 none
    std::vector<KeyCode> alertKeys;                  // window-level: raise AlertKey whatever has focus
    std::vector<std::pair<KeyCode, KeyCode>> aliases;  // key typed -> key the window acts on
    std::vector<ControlState> controls;              // controls[i].number == i + 1
    int focus = 0;

    const ControlState* control(int number) const {
        return number >= 1 && static_cast<std::size_t>(number) <= controls.size() ? &controls[number - 1] : nullptr;
    }
    // Case-insensitive; 0 when unknown.
    int controlByUse(std::string_view use) const;
    bool AlertsKey(KeyCode key) const;
    // Applies the window's key aliases, then the desktop's own: Shift+F10 is the Menu key.
    KeyCode Translate(KeyCode key) const;
};

// Whether the control and every control enclosing it are visible and enabled. A tab that is not
// its sheet's current tab does not count as hidden: its controls can still take the focus, and
// doing so brings that tab forward.
bool Reachable(const WindowState& w, int number);
// The next (or previous) control after `from` that can take the focus, in control order, wrapping
// round; `from` itself when no other can, 0 when none can.
int NextTabStop(const WindowState& w, int from, bool forward = true);
// The tab control enclosing a control, 0 for none.
int EnclosingTab(const WindowState& w, int number);
// The button an Enter pressed in an entry presses as well: the window's reachable default button,
// 0 for none.
int DefaultButton(const WindowState& w);
// The control Escape presses, as in every dialog of the desktop: the window's reachable Cancel or
// Close button (one with the close action, or captioned so), else a window's own "Exit" menu item
// (a report preview's). The frame has none: Escape never ends the program. 0 for none.
int EscapeControl(const WindowState& w);
// The letter a caption marks with '&' ("&&" is an ampersand), upper case; 0 none.
char MarkedLetter(std::string_view text);
// The control an Alt-letter acts on in a window (a button, check box, radio button or prompt
// whose caption marks the letter, reachable); `shown` says whether the
// presenter shows a control (one on a sheet's hidden tab is not). Never the frame's (its menu bar
// has the letters there). The first in control order; 0 for none, and for a key that is no
// Alt-letter or Alt-digit.
template <typename Shown>
int MnemonicControl(const WindowState& w, KeyCode key, Shown&& shown);

template <typename Shown>
int MnemonicControl(const WindowState& w, KeyCode key, Shown&& shown) {
    if ((key & (kAlt | kCtrl)) != kAlt || w.kind == WindowKind::AppFrame) return 0;
    const auto letter = static_cast<char>(key & 0xFF);
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= '0' && letter <= '9'))) return 0;
    for (const ControlState& c : w.controls) {
        const bool acts = c.kind == ControlKind::Button || c.kind == ControlKind::Check ||
                          c.kind == ControlKind::Radio || c.kind == ControlKind::Prompt;
        if (acts && MarkedLetter(c.text) == letter && Reachable(w, c.number) && shown(c.number)) return c.number;
    }
    return 0;
}

}  // namespace wnd
