#pragma once
// Key codes: the low byte is the Windows virtual-key code; Shift adds 0x100, Ctrl 0x200, Alt 0x400.
#include <optional>
#include <string>
#include <string_view>

namespace wnd {

using KeyCode = int;

inline constexpr KeyCode kShift = 0x100;
inline constexpr KeyCode kCtrl = 0x200;
inline constexpr KeyCode kAlt = 0x400;

inline constexpr KeyCode kKeyMouseLeft = 0x01;   // a mouse button can be alerted like a key
inline constexpr KeyCode kKeyMouseRight = 0x02;
inline constexpr KeyCode kKeyMouseLeft2 = 0x05;  // double click
inline constexpr KeyCode kKeyMouseRightUp = 0x82; // the right button, raised when it is let go
inline constexpr KeyCode kKeyBackspace = 0x08;
inline constexpr KeyCode kKeyTab = 0x09;
inline constexpr KeyCode kKeyEnter = 0x0D;
inline constexpr KeyCode kKeyShiftKey = 0x10;
inline constexpr KeyCode kKeyEscape = 0x1B;
inline constexpr KeyCode kKeyPageUp = 0x21;
inline constexpr KeyCode kKeyPageDown = 0x22;
inline constexpr KeyCode kKeyEnd = 0x23;
inline constexpr KeyCode kKeyHome = 0x24;
inline constexpr KeyCode kKeyLeft = 0x25;
inline constexpr KeyCode kKeyUp = 0x26;
inline constexpr KeyCode kKeyRight = 0x27;
inline constexpr KeyCode kKeyDown = 0x28;
inline constexpr KeyCode kKeyInsert = 0x2D;
inline constexpr KeyCode kKeyDelete = 0x2E;
inline constexpr KeyCode kKeyApps = 0x5D;
inline constexpr KeyCode kKeyF1 = 0x70;
inline constexpr KeyCode kKeyF4 = 0x73;
inline constexpr KeyCode kKeyF10 = 0x79;
inline constexpr KeyCode kKeyF12 = 0x7B;
inline constexpr KeyCode kKeyShiftTab = kShift | kKeyTab;   // 0x109
inline constexpr KeyCode kKeyCtrlH = kCtrl | 'H';           // 0x248

// Whether a key only moves an entry's caret (Left, Right, Home, End, with or without Shift):
// it edits nothing.
inline bool MovesCaret(KeyCode code) {
    const KeyCode plain = code & 0xFF;
    return plain == kKeyLeft || plain == kKeyRight || plain == kKeyHome || plain == kKeyEnd;
}

// "F12", "Ctrl+H", "Shift+Tab", "Enter", "A", "0x7B", "123". nullopt for a name it does not know.
std::optional<KeyCode> KeyFromName(std::string_view name);
// "Ctrl+H" for 0x248; "0x.." for codes without a name.
std::string KeyName(KeyCode code);

}  // namespace wnd
