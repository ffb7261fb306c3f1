#include "platform/classes/popup_menu.h"

namespace cls {

void PopupMenu::AddItemMimic(int button) {
    if (button) mimics_.push_back(button);
}

int PopupMenu::ItemCount() const {
    int n = 0;
    for (const Item& i : items())
        if (i.text != "-") ++n;
    return n;
}

void PopupMenu::InsertItemsAt(std::string_view text, int after) {
    inserted_.clear();
    insertAfter_ = after;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) bar = text.size();
        if (bar > start) inserted_.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

std::vector<PopupMenu::Item> PopupMenu::items() const {
    std::vector<Item> out;
    for (int b : mimics_) {
        if (!window_ || !window_->Has(b)) continue;
        const wnd::ControlState& c = window_->control(b);
        out.push_back({(c.disabled ? "~" : "") + c.text, b, c.icon});
    }
    std::size_t at = 0;
    for (int counted = 0; at < out.size() && counted < insertAfter_; ++at)
        if (out[at].text != "-") ++counted;
    std::vector<Item> more;
    for (const std::string& t : inserted_) more.push_back({t, 0, {}});
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), more.begin(), more.end());
    return out;
}

std::string PopupMenu::Text() const {
    std::string s;
    for (const Item& i : items()) s += (s.empty() ? "" : "|") + i.text;
    return s;
}

int PopupMenu::Ask(int atList) {
    const std::vector<Item> shown = items();
    std::vector<std::string> icons;
    for (const Item& i : shown) icons.push_back(i.icon);
    last_ = shown.empty() ? 0 : wnd::Popup(Text(), icons, atList);
    int n = 0;
    for (const Item& i : shown) {
        if (i.text == "-" || ++n != last_) continue;
        if (i.button && !window_->control(i.button).disabled) window_->Post(wnd::Event::Accepted, i.button);
        else if (i.button) last_ = 0;  // a greyed item does nothing
    }
    return last_;
}

}  // namespace cls
