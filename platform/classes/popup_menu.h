#pragma once
// A list's popup menu. Items that stand for buttons are made again from their button each time
// the menu is shown (its text; greyed while the button is disabled, whether or not it is hidden)
// and choosing one posts Accepted to the button, which then acts as if pressed. Other items can be
// inserted for one showing and taken out again.
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/window.h"

namespace cls {

class PopupMenu {
public:
    void Init(wnd::Window& window) { window_ = &window; }
    void AddItemMimic(int button);
    void ClearMimics() { mimics_.clear(); }
    // Top-level items (separators not counted).
    int ItemCount() const;
    // '|'-separated items ("-" a separator) after the first `after` items.
    void InsertItemsAt(std::string_view text, int after);
    void RemoveInsertedItems() { inserted_.clear(); }
    // The menu's text as it would be shown now.
    std::string Text() const;
    // Shows the menu, at the pointer or, for a menu the keyboard asked for, at the highlighted row
    // of the list `atList`; the chosen item's number (1-based, separators not counted), 0 none.
    int Ask(int atList = 0);
    int LastChoiceNumber() const { return last_; }

private:
    struct Item {
        std::string text;
        int button = 0;  // 0: an inserted item
        std::string icon;
    };
    std::vector<Item> items() const;

    wnd::Window* window_ = nullptr;
    std::vector<int> mimics_;
    std::vector<std::string> inserted_;
    int insertAfter_ = 0;
    int last_ = 0;
};

}  // namespace cls
