#include "platform/classes/column_header_sorter.h"

#include "platform/window/list_format.h"

namespace cls {
namespace {

constexpr std::string_view kAscendingMark = " ^";
constexpr std::string_view kDescendingMark = " v";

}  // namespace

void ColumnHeaderSorter::Initialise(wnd::Window& window, int listControl, ListBrowser& browser) {
    window_ = &window;
    list_ = listControl;
    browser_ = &browser;
    clicked_ = saved_ = {};
    markedField_ = -1;
    // The single click on a header is the sorter's own key, in a free position, so the keys armed
    // after it (the Enter-key navigator's in the top positions) leave it in place.
    if (!window.Has(listControl) || window.control(listControl).Alerts(wnd::kKeyMouseLeft)) return;
    for (int p = 1; p <= 255; ++p)
        if (window.alert(listControl, p) == 0) {
            window.SetAlert(listControl, p, wnd::kKeyMouseLeft);
            return;
        }
}

int ColumnHeaderSorter::OnEvent() {
    if (!window_ || !browser_) return 0;
    wnd::Window& w = *window_;
    if (w.event() != wnd::Event::AlertKey || w.control() != list_ || w.keyCode() != wnd::kKeyMouseLeft ||
        w.pointerRow() != 0 || w.pointerColumn() < 1)
        return 0;
    const auto columns = wnd::ParseListFormat(w.control(list_).format);
    const auto column = static_cast<std::size_t>(w.pointerColumn() - 1);
    if (column >= columns.size()) return 1;
    const int field = static_cast<int>(wnd::ShownFields(columns)[column]);
    if (!browser_->columnField(static_cast<std::size_t>(field))) return 1;
    // Ascending, then descending, then the list's own order again.
    if (clicked_.field != field) clicked_ = {field, false};
    else if (!clicked_.descending) clicked_.descending = true;
    else clicked_ = {};
    ApplyClickedSort();
    return 1;
}

std::string ColumnHeaderSorter::OrderText() const {
    const rt::FieldDesc* f = browser_ && saved_.field >= 0 ? browser_->columnField(static_cast<std::size_t>(saved_.field)) : nullptr;
    if (!f) return {};
    return (saved_.descending ? "-" : "+") + std::string(f->name);
}

void ColumnHeaderSorter::hand(const Sort& sort) {
    saved_ = sort;
    HandOrderToList(OrderText());
    RedrawHeader();
}

void ColumnHeaderSorter::ApplyClickedSort() { hand(clicked_); }

void ColumnHeaderSorter::RestoreSavedOrder() {
    clicked_ = saved_;
    hand(saved_);
}

void ColumnHeaderSorter::HandOrderToList(std::string_view order) {
    if (order.empty()) browser_->PopOrderState();
    else browser_->PushOrderState(order);
}

void ColumnHeaderSorter::RedrawHeader() {
    if (!window_ || !window_->Has(list_)) return;
    ResetIndicators();
    if (saved_.field < 0) return;
    auto columns = wnd::ParseListFormat(window_->control(list_).format);
    const auto fields = wnd::ShownFields(columns);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (fields[c] != static_cast<std::size_t>(saved_.field)) continue;
        columns[c].header += saved_.descending ? kDescendingMark : kAscendingMark;
        markedField_ = saved_.field;
        window_->SetFormat(list_, wnd::FormatListFormat(columns));
        return;
    }
}

void ColumnHeaderSorter::ResetIndicators() {
    if (markedField_ < 0 || !window_ || !window_->Has(list_)) return;
    auto columns = wnd::ParseListFormat(window_->control(list_).format);
    const auto fields = wnd::ShownFields(columns);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (fields[c] != static_cast<std::size_t>(markedField_)) continue;
        std::string& h = columns[c].header;
        for (std::string_view mark : {kAscendingMark, kDescendingMark})
            if (h.size() >= mark.size() && std::string_view(h).substr(h.size() - mark.size()) == mark) h.resize(h.size() - mark.size());
    }
    markedField_ = -1;
    window_->SetFormat(list_, wnd::FormatListFormat(columns));
}

void ColumnHeaderSorter::ClearState() {
    ResetIndicators();
    clicked_ = saved_ = {};
}

void ColumnHeaderSorter::TearDown() {
    ResetIndicators();
    window_ = nullptr;
    browser_ = nullptr;
}

}  // namespace cls
