#pragma once
// Sorting a list by its column headers. A click on a header sorts the list on that column,
// ascending; again, descending; a third time, back to the list's own order (the double click stays
// the column auto-sizer's). The sorted column's
// header carries a mark (" ^" ascending, " v" descending). The list takes the sort as a temporary
// order over its present order (ListBrowser::PushOrderState), so its filter and range still hold.
//
//     cls::ColumnHeaderSorter sorter;
//     sorter.Initialise(window, listControl, browser);
//     ... offer it every event first: if (sorter.OnEvent()) the event is handled
//
// The marks are part of the list's format: take them off (ResetIndicators) before the format is
// stored or replaced, and put them back (RestoreSavedOrder or RedrawHeader) afterwards.
#include <string>
#include <string_view>

#include "platform/classes/list_browser.h"
#include "platform/window/window.h"

namespace cls {

class ColumnHeaderSorter {
public:
    virtual ~ColumnHeaderSorter() = default;

    // Arms the single click (kKeyMouseLeft) on the list.
    void Initialise(wnd::Window& window, int listControl, ListBrowser& browser);
    // The window's current event: non-zero when it was a click on this list's header.
    int OnEvent();
    // Marks the header of the sorted column (after the list's format was set).
    void RedrawHeader();
    // Takes the mark off the header; the sort stays.
    void ResetIndicators();
    // Forgets the sort and its mark (the list changed to another order, which has none).
    void ClearState();
    // Hands the list the sort it had before its format was changed, and marks it again.
    void RestoreSavedOrder();
    // Hands the list the sort the header clicks chose, and marks it.
    void ApplyClickedSort();
    void TearDown();

    // The order text of the sort ("+GLU:READING", "-GLU:DATE"); empty for the list's own order.
    std::string OrderText() const;

protected:
    // Gives the list the order text built from the clicked column and direction; an empty text
    // asks for the list's own order. By default the list takes it as a temporary order.
    virtual void HandOrderToList(std::string_view order);

    ListBrowser* browser() const { return browser_; }

private:
    struct Sort {
        int field = -1;  // the queue field sorted on (0-based); -1: none
        bool descending = false;
    };
    void hand(const Sort& sort);

    wnd::Window* window_ = nullptr;
    ListBrowser* browser_ = nullptr;
    int list_ = 0;
    Sort clicked_;  // what the header clicks chose
    Sort saved_;    // what the list was last given
    int markedField_ = -1;  // the field whose header carries the mark
};

}  // namespace cls
